#include "views/CCategoryPaneCommands.h"

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CCategoryValueDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CUserInterface.h"
#include "views/CCategoryListModel.h"
#include "views/CCategoryView.h"
#include "views/CListCtrlBox.h"

namespace {

constexpr const char* kSelectCategory = "カテゴリを選択してください";

QString toQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CCategoryPaneCommands::CCategoryPaneCommands(CCategoryView& pane) : m_pane(pane) {}

CQuilloryDoc& CCategoryPaneCommands::document() const {
    return m_pane.document();
}

bool CCategoryPaneCommands::onCommand(int id) {
    switch (id) {
        case cmd::kEditCategory:
            editCategory();
            return true;
        case cmd::kDeleteCategory:
            deleteCategory();
            return true;
        case cmd::kMoveCategoryUp:
            moveCategory(-1);
            return true;
        case cmd::kMoveCategoryDown:
            moveCategory(1);
            return true;
        case cmd::kRenameValue:
            renameValue();
            return true;
        default:
            return false;
    }
}

bool CCategoryPaneCommands::onUpdateCommand(int id, CCommandState& state) {
    const int focused = m_pane.focusedList();
    switch (id) {
        case cmd::kMoveCategoryUp:
            state.enabled = focused != 0;
            return true;
        case cmd::kMoveCategoryDown:
            state.enabled = focused >= 0 && focused < m_pane.listCount() - 1;
            return true;
        case cmd::kEditCategory:
        case cmd::kDeleteCategory:
        case cmd::kRenameValue:
            state.enabled = true;
            return true;
        default:
            return false;
    }
}

void CCategoryPaneCommands::editCategory() {
    const int focused = m_pane.focusedList();
    if (focused < 0) {
        CUserInterface::current().message(kSelectCategory, MessageIcon::Warning);
        return;
    }
    CFileCatalog& catalog = document().catalog();
    const int index = m_pane.categoryOf(focused);
    CCategoryEditDlg dialog(m_pane.window());
    dialog.setName(toQString(catalog.categoryName(index)));
    dialog.setAlignment(catalog.category(index).alignment());
    dialog.setShown(catalog.category(index).isShownInPane());
    if (dialog.exec() != QDialog::Accepted || index >= catalog.categoryCount()) {
        return;
    }
    document().recordUndoPoint();
    CCategory& category = catalog.category(index);
    category.setName(dialog.name().toStdString());
    category.setFlags((category.flags() & ~CCategory::kAlignmentMask) |
                      (static_cast<std::uint32_t>(dialog.alignment()) & CCategory::kAlignmentMask));
    if (dialog.shown() != category.isShownInPane()) {
        // Hiding a list changes the drill-down, so the catalog recomputes; the last shown list stays (the
        // catalog refuses with its message).
        catalog.setShownInPane(index, dialog.shown());
        document().finishChange(hint::kCategoriesChanged);
        return;
    }
    document().setModifiedFlag(true);
    document().updateAllViews(nullptr, hint::kCategories);
}

void CCategoryPaneCommands::deleteCategory() {
    const int focused = m_pane.focusedList();
    if (focused < 0) {
        return;
    }
    CFileCatalog& catalog = document().catalog();
    const int index = m_pane.categoryOf(focused);
    if (!CUserInterface::current().askYesNo(catalog.categoryName(index) + "を削除しますか？")) {
        return;
    }
    document().recordUndoPoint();
    catalog.removeCategory(index);
    document().finishChange(hint::kCategoriesChanged);
    m_pane.setFocus(Qt::OtherFocusReason);
}

void CCategoryPaneCommands::moveCategory(int step) {
    const int focused = m_pane.focusedList();
    const int other = focused + step;
    if (focused < 0 || other < 0 || other >= m_pane.listCount()) {
        return;
    }
    document().recordUndoPoint();
    document().catalog().exchangeCategories(m_pane.categoryOf(focused),
                                            m_pane.categoryOf(other));
    document().finishChange(hint::kCategoriesChanged);
    if (other < m_pane.listCount()) {
        m_pane.list(other)->setFocus(Qt::OtherFocusReason);
    }
}

void CCategoryPaneCommands::renameValue() {
    const int focused = m_pane.focusedList();
    int presetCategory = 0;
    QString presetValue;
    if (focused >= 0) {
        presetCategory = m_pane.categoryOf(focused);
        const std::vector<int> rows = m_pane.list(focused)->selectedRows();
        if (!rows.empty()) {
            if (const std::string* text = m_pane.listModel(focused)->value(rows.front())) {
                presetValue = toQString(*text);
            }
        }
    }
    CFileCatalog& catalog = document().catalog();
    CCategoryValueDlg dialog(catalog, presetCategory, presetValue, m_pane.window());
    if (dialog.exec() != QDialog::Accepted || dialog.category() < 0 ||
        dialog.category() >= catalog.categoryCount()) {
        return;
    }
    document().recordUndoPoint();
    const std::string newValue = dialog.newValue().toStdString();
    catalog.renameValueEverywhere(dialog.category(), dialog.oldValue().toStdString(), newValue);
    // The focused list's category selects the new value before the recompute, so that the displayed items
    // are those of the value the list shows selected.
    const int focusedCategory = focused >= 0 ? m_pane.categoryOf(focused) : -1;
    if (focusedCategory >= 0) {
        catalog.setSelection(focusedCategory, {newValue});
    }
    document().finishChange(hint::kValuesRenamed);
    if (focused >= 0 && focused < m_pane.listCount()) {
        m_pane.restoreSelections();
        m_pane.list(focused)->setFocus(Qt::OtherFocusReason);
    }
}
