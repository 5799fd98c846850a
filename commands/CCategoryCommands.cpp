#include "commands/CCategoryCommands.h"

#include <memory>

#include "catalog/CQuilloryUndo.h"
#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CCategoryListDlg.h"
#include "dialogs/CCategoryValueDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CUserInterface.h"

CCategoryCommands::CCategoryCommands(CQuilloryDoc& document) : m_document(document) {
    m_document.addCommandFamily(this);
}

CCategoryCommands::~CCategoryCommands() { m_document.removeCommandFamily(this); }

CFileCatalog& CCategoryCommands::catalog() const { return m_document.catalog(); }

bool CCategoryCommands::onCommand(int id) {
    switch (id) {
        case cmd::kCategorySettings:
            editCategoryList();
            return true;
        case cmd::kAddCategory:
            addCategory();
            return true;
        case cmd::kRenameValue:
            renameValue();
            return true;
        default:
            return false;
    }
}

bool CCategoryCommands::onUpdateCommand(int id, CCommandState& state) {
    if (id == cmd::kCategorySettings || id == cmd::kAddCategory || id == cmd::kRenameValue) {
        state.enabled = true;
        return true;
    }
    return false;
}

void CCategoryCommands::editCategoryList() {
    // The dialog changes the catalog as it runs: the undo point is the catalog as it was before it opened.
    auto before = std::make_unique<CQuilloryUndo>(catalog());
    CCategoryListDlg dialog(catalog(), m_document.dialogParent());
    dialog.exec();
    if (!dialog.changed()) {
        return;
    }
    m_document.undoHistory().record(std::move(before));
    m_document.finishChange(hint::kCategoriesChanged);
}

void CCategoryCommands::addCategory() {
    if (catalog().categoryCount() >= CFileCatalog::kMaxCategories) {
        CUserInterface::current().message("カテゴリは１０個までです。変更して使ってください。", MessageIcon::Warning);
        return;
    }
    CCategoryEditDlg dialog(m_document.dialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_document.recordUndoPoint();
    CCategory& category = catalog().addCategory(dialog.name().toStdString());
    category.setFlags((category.flags() & ~CCategory::kAlignmentMask) |
                      (static_cast<std::uint32_t>(dialog.alignment()) & CCategory::kAlignmentMask));
    m_document.finishChange(hint::kCategoriesChanged);
}

void CCategoryCommands::renameValue() {
    CCategoryValueDlg dialog(catalog(), 0, QString(), m_document.dialogParent());
    if (dialog.exec() != QDialog::Accepted || dialog.category() < 0 ||
        dialog.category() >= catalog().categoryCount()) {
        return;
    }
    m_document.recordUndoPoint();
    catalog().renameValueEverywhere(dialog.category(), dialog.oldValue().toStdString(),
                                    dialog.newValue().toStdString());
    m_document.finishChange(hint::kValuesRenamed);
}
