#include "dialogs/CReplaceDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CSearchHistoryCombo.h"
#include "dialogs/DialogHelp.h"

namespace {

QComboBox* historyBox(QWidget* parent, const char* name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(260);
    return box;
}

}  // namespace

CReplaceDlg::CReplaceDlg(CProfile& profile, QWidget* parent) : QDialog(parent), m_profile(profile) {
    setObjectName("ReplaceDlg");
    setWindowTitle(QStringLiteral("置換"));
    m_find = historyBox(this, "findText");
    m_replace = historyBox(this, "replaceText");
    auto* findLabel = new QLabel(QStringLiteral("検索語(&W):"), this);
    findLabel->setBuddy(m_find);
    auto* replaceLabel = new QLabel(QStringLiteral("置換後(&R):"), this);
    replaceLabel->setBuddy(m_replace);
    CSearchHistoryCombo::fill(*m_find, profile, "Find");
    CSearchHistoryCombo::fill(*m_replace, profile, "Replace");

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("開始"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(dialoghelp::cancelText(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CReplaceDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CReplaceDlg::reject);

    auto* form = new QFormLayout;
    form->addRow(findLabel, m_find);
    form->addRow(replaceLabel, m_replace);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CReplaceDlg::findText() const {
    return m_find->currentText();
}

QString CReplaceDlg::replaceText() const {
    return m_replace->currentText();
}

void CReplaceDlg::accept() {
    CSearchHistoryCombo::store(*m_find, m_profile, "Find");
    CSearchHistoryCombo::store(*m_replace, m_profile, "Replace");
    QDialog::accept();
}
