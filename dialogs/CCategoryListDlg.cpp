#include "dialogs/CCategoryListDlg.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "catalog/CFileCatalog.h"
#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CListEditColumn.h"
#include "dialogs/DialogHelp.h"
#include "platform/CUserInterface.h"

namespace {

constexpr const char* kTooManyCategories = "カテゴリは１０個までです。変更して使ってください。";
constexpr const char* kNoCategory = "カテゴリは最低一つ必要です。追加してください";
constexpr const char* kNoShownCategory = "表示カテゴリは最低一つ必要です。一つはチェックしてください";

void setAlignmentBits(CCategory& category, int alignment) {
    category.setFlags((category.flags() & ~CCategory::kAlignmentMask) |
                      (static_cast<std::uint32_t>(alignment) & CCategory::kAlignmentMask));
}

}  // namespace

CCategoryListDlg::CCategoryListDlg(CFileCatalog& catalog, QWidget* parent) : QDialog(parent), m_catalog(catalog) {
    setObjectName("CategoryListDlg");
    setWindowTitle(QStringLiteral("カテゴリの編集"));

    m_list = new QListWidget(this);
    m_list->setObjectName("categories");
    m_list->setAccessibleName(QStringLiteral("カテゴリ"));
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { editCategory(); });

    CListEditColumn column(this);
    connect(column.addButton("追加(&A)...", "addButton"), &QPushButton::clicked, this,
            &CCategoryListDlg::addCategory);
    connect(column.addButton("編集(&E)...", "editButton"), &QPushButton::clicked, this,
            &CCategoryListDlg::editCategory);
    connect(column.addButton("削除(&D)...", "deleteButton"), &QPushButton::clicked, this,
            &CCategoryListDlg::deleteCategory);
    connect(column.addButton("一つ上へ(&U)", "upButton"), &QPushButton::clicked, this, [this] { moveCategory(-1); });
    connect(column.addButton("一つ下へ(&W)", "downButton"), &QPushButton::clicked, this, [this] { moveCategory(1); });
    auto* left = new QVBoxLayout;
    left->addWidget(m_list);
    column.layOut(left, dialoghelp::closeHelpButtons(*this, dialoghelp::kCategoryListContext));
    fill(0);
}

int CCategoryListDlg::selectedLine() const {
    return CListEditColumn::selectedRow(*m_list);
}

void CCategoryListDlg::fill(int line) {
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (int i = 0; i < m_catalog.categoryCount(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(m_catalog.categoryName(i)), m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(m_catalog.category(i).isShownInPane() ? Qt::Checked : Qt::Unchecked);
    }
    if (line >= 0 && line < m_list->count()) {
        m_list->setCurrentRow(line);
    }
    m_list->setUpdatesEnabled(true);
}

void CCategoryListDlg::addCategory() {
    if (m_catalog.categoryCount() >= CFileCatalog::kMaxCategories) {
        CUserInterface::current().message(kTooManyCategories, MessageIcon::Warning);
        return;
    }
    CCategoryEditDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // A new category is shown in the pane whatever the check box says.
    CCategory& category = m_catalog.addCategory(dialog.name().toStdString());
    setAlignmentBits(category, dialog.alignment());
    fill(m_catalog.categoryCount() - 1);
    m_changed = true;
}

void CCategoryListDlg::editCategory() {
    const int line = selectedLine();
    if (line < 0 || line >= m_catalog.categoryCount()) {
        return;
    }
    CCategory& category = m_catalog.category(line);
    CCategoryEditDlg dialog(this);
    dialog.setName(QString::fromStdString(category.name()));
    dialog.setAlignment(category.alignment());
    dialog.setShown(m_list->item(line)->checkState() == Qt::Checked);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    category.setName(dialog.name().toStdString());
    setAlignmentBits(category, dialog.alignment());
    m_catalog.setShownInPane(line, dialog.shown());  // refuses, with its message, to hide the last one
    fill(line);
    m_changed = true;
}

void CCategoryListDlg::deleteCategory() {
    const int line = selectedLine();
    if (line < 0 || line >= m_catalog.categoryCount()) {
        return;
    }
    const QString question =
        QStringLiteral("%1を削除しますか？\n削除した場合、既存データも全て削除されます。復活できません。")
            .arg(QString::fromStdString(m_catalog.categoryName(line)));
    if (!CUserInterface::current().askOkCancel(question.toStdString(), MessageIcon::Question)) {
        return;
    }
    m_catalog.removeCategory(line);
    // The check marks of the other lines are kept as the user left them.
    delete m_list->takeItem(line);
    if (m_list->count() > 0) {
        m_list->setCurrentRow(std::min(line, m_list->count() - 1));
    }
    m_changed = true;
}

void CCategoryListDlg::moveCategory(int step) {
    const int line = selectedLine();
    const int other = line + step;
    if (line < 0 || other < 0 || other >= m_catalog.categoryCount()) {
        return;
    }
    m_catalog.exchangeCategories(line, other);
    fill(other);
    m_changed = true;
}

void CCategoryListDlg::tryClose() {
    if (m_catalog.categoryCount() == 0) {
        CUserInterface::current().message(kNoCategory, MessageIcon::Warning);
        return;
    }
    bool anyChecked = false;
    for (int line = 0; line < m_list->count(); ++line) {
        anyChecked = anyChecked || m_list->item(line)->checkState() == Qt::Checked;
    }
    if (!anyChecked) {
        CUserInterface::current().message(kNoShownCategory, MessageIcon::Warning);
        return;
    }
    for (int line = 0; line < m_list->count() && line < m_catalog.categoryCount(); ++line) {
        const bool checked = m_list->item(line)->checkState() == Qt::Checked;
        CCategory& category = m_catalog.category(line);
        if (checked != category.isShownInPane()) {
            category.setFlags(checked ? category.flags() & ~CCategory::kHiddenInPane
                                      : category.flags() | CCategory::kHiddenInPane);
            m_changed = true;
        }
    }
    QDialog::accept();
}

void CCategoryListDlg::accept() {
    tryClose();
}

void CCategoryListDlg::reject() {
    tryClose();
}
