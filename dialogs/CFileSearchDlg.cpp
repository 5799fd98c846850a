#include "dialogs/CFileSearchDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/DialogHelp.h"
#include "platform/CProfile.h"

namespace {

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CFileSearchDlg::CFileSearchDlg(CProfile& profile, const QStringList& categoryNames, QWidget* parent)
    : QDialog(parent), m_profile(profile) {
    setObjectName("FileSearchDlg");
    setWindowTitle(QStringLiteral("アイテム検索"));

    m_text = new QComboBox(this);
    m_text->setObjectName("text");
    m_text->setEditable(true);
    // The history is kept by the dialog's own rule when it closes, not by the combo as the user types.
    m_text->setInsertPolicy(QComboBox::NoInsert);
    // No inline completion: it would turn a typed "ro" into a listed "Rock" under the user's hands.
    m_text->setCompleter(nullptr);
    m_text->setMinimumWidth(280);
    auto* textLabel = new QLabel(QStringLiteral("検索語(&F):"), this);
    textLabel->setBuddy(m_text);

    auto makeBox = [this](const char* name, const QString& text) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(QString::fromLatin1(name));
        return box;
    };
    m_inName = makeBox("inName", QStringLiteral("名前(&N)"));
    m_inPath = makeBox("inPath", QStringLiteral("フルパス(&F)"));
    m_inMemo = makeBox("inMemo", QStringLiteral("メモ(&M)"));
    m_inTextFile = makeBox("inTextFile", QStringLiteral("テキストファイル内(&T)"));
    m_inCategory = makeBox("inCategory", QStringLiteral("カテゴリ(&N)"));
    m_categories = new QListWidget(this);
    m_categories->setObjectName("categories");
    m_categories->setAccessibleName(QStringLiteral("カテゴリ"));
    m_categories->addItems(categoryNames);
    m_categories->setMinimumHeight(96);

    auto* targets = new QGridLayout;
    targets->addWidget(m_inName, 0, 0);
    targets->addWidget(m_inPath, 1, 0);
    targets->addWidget(m_inMemo, 2, 0);
    targets->addWidget(m_inTextFile, 3, 0);
    targets->setRowStretch(4, 1);
    targets->addWidget(m_inCategory, 0, 1);
    targets->addWidget(m_categories, 1, 1, 4, 1);
    targets->setColumnStretch(1, 1);

    auto* buttons = dialoghelp::okCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("開始"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileSearchDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileSearchDlg::reject);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textLabel);
    textRow->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addLayout(targets);
    layout->addWidget(buttons);

    std::vector<std::string> history;
    m_condition.load(m_profile, CFileSearchCondition::kSection, history);
    for (const std::string& entry : history) {
        m_text->addItem(toQString(entry));
    }
    m_text->setEditText(toQString(m_condition.text));
    m_text->lineEdit()->selectAll();
    m_inName->setChecked(m_condition.inName);
    m_inPath->setChecked(m_condition.inPath);
    m_inMemo->setChecked(m_condition.inMemo);
    m_inTextFile->setChecked(m_condition.inTextFile);
    m_inCategory->setChecked(m_condition.inCategory);
    if (m_condition.category >= 0 && m_condition.category < m_categories->count()) {
        m_categories->setCurrentRow(m_condition.category);
    }
    m_categories->setEnabled(m_condition.inCategory);
    connect(m_inCategory, &QCheckBox::toggled, m_categories, &QWidget::setEnabled);
    m_text->setFocus(Qt::OtherFocusReason);
}

void CFileSearchDlg::accept() {
    m_condition.text = m_text->currentText().toStdString();
    m_condition.inName = m_inName->isChecked();
    m_condition.inPath = m_inPath->isChecked();
    m_condition.inMemo = m_inMemo->isChecked();
    m_condition.inTextFile = m_inTextFile->isChecked();
    m_condition.inCategory = m_inCategory->isChecked();
    // Without a selected row (fewer categories than the stored index) the stored index stays.
    if (m_categories->currentRow() >= 0) {
        m_condition.category = m_categories->currentRow();
    }
    m_condition.matchOffset = -1;
    std::vector<std::string> history;
    for (int i = 0; i < m_text->count(); ++i) {
        history.push_back(m_text->itemText(i).toStdString());
    }
    m_condition.save(m_profile, CFileSearchCondition::kSection, history);
    QDialog::accept();
}
