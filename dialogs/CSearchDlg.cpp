#include "dialogs/CSearchDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <string>
#include <vector>

#include "dialogs/DialogHelp.h"
#include "platform/CProfile.h"
#include "search/CFileSearchCondition.h"
#include "search/CSearchHistory.h"

CSearchDlg::CSearchDlg(CProfile& profile, const QStringList& categoryNames, int preselected, QWidget* parent)
    : QDialog(parent), m_profile(profile) {
    setObjectName("SearchDlg");
    setWindowTitle(QStringLiteral("属性リスト検索"));

    m_text = new QComboBox(this);
    m_text->setObjectName("text");
    m_text->setEditable(true);
    m_text->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: it would turn a typed "ro" into a listed "Rock" under the user's hands.
    m_text->setCompleter(nullptr);
    m_text->setMinimumWidth(240);
    m_category = new QComboBox(this);
    m_category->setObjectName("category");
    m_category->addItems(categoryNames);
    if (preselected >= 0 && preselected < m_category->count()) {
        m_category->setCurrentIndex(preselected);
    }

    auto* form = new QFormLayout;
    auto addRow = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("検索語(&W):"), m_text);
    addRow(QStringLiteral("カテゴリ(&C):"), m_category);

    auto* buttons = dialoghelp::okCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSearchDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSearchDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const std::vector<std::string> history =
        CSearchHistory::load(m_profile, CFileSearchCondition::kSection);
    for (const std::string& entry : history) {
        m_text->addItem(QString::fromStdString(entry));
    }
    // "Str00", the last text, is the first entry when it is set.
    const std::string last = m_profile.readString(CFileSearchCondition::kSection, "Str00", "");
    m_text->setEditText(QString::fromStdString(last));
    m_text->lineEdit()->selectAll();
    m_text->setFocus(Qt::OtherFocusReason);
}

void CSearchDlg::accept() {
    m_chosenText = m_text->currentText();
    m_chosenCategory = m_category->currentIndex();
    std::vector<std::string> history;
    for (int i = 0; i < m_text->count(); ++i) {
        history.push_back(m_text->itemText(i).toStdString());
    }
    CSearchHistory::save(m_profile, CFileSearchCondition::kSection,
                                         m_chosenText.toStdString(), history);
    QDialog::accept();
}
