#include "dialogs/CFindDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/CSearchHistoryCombo.h"
#include "dialogs/DialogHelp.h"

CFindDlg::CFindDlg(CProfile& profile, QWidget* parent) : QDialog(parent), m_profile(profile) {
    setObjectName("FindDlg");
    setWindowTitle(QStringLiteral("検索"));
    m_find = new QComboBox(this);
    m_find->setObjectName("findText");
    m_find->setEditable(true);
    m_find->setInsertPolicy(QComboBox::NoInsert);
    m_find->setMinimumWidth(260);
    auto* label = new QLabel(QStringLiteral("検索語(&W):"), this);
    label->setBuddy(m_find);
    CSearchHistoryCombo::fill(*m_find, profile, "Find");

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("開始"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(dialoghelp::cancelText(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFindDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFindDlg::reject);

    auto* form = new QFormLayout;
    form->addRow(label, m_find);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CFindDlg::findText() const {
    return m_find->currentText();
}

void CFindDlg::accept() {
    CSearchHistoryCombo::store(*m_find, m_profile, "Find");
    QDialog::accept();
}
