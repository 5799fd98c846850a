#include "commands/CAddItemCommands.h"

#include "catalog/CFileCatalog.h"
#include "dialogs/CFileItemDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"

CAddItemCommands::CAddItemCommands(CQuilloryDoc& document) : m_document(document) {
    m_document.addCommandFamily(this);
}

CAddItemCommands::~CAddItemCommands() { m_document.removeCommandFamily(this); }

bool CAddItemCommands::onCommand(int id) {
    if (id != cmd::kAddItem) {
        return false;
    }
    addThroughItemDialog(m_document, m_document.catalog().newItem(true));
    return true;
}

bool CAddItemCommands::onUpdateCommand(int id, CCommandState& state) {
    if (id != cmd::kAddItem) {
        return false;
    }
    state.enabled = true;
    return true;
}

CFileItem* CAddItemCommands::addThroughItemDialog(CQuilloryDoc& document, std::unique_ptr<CFileItem> item) {
    CFileCatalog& catalog = document.catalog();
    {
        CFileItemDlg dialog(catalog, *item, document.browserCapture(), document.dialogParent());
        if (dialog.exec() != QDialog::Accepted) {
            return nullptr;
        }
    }
    document.recordUndoPoint();
    CFileItem* added = catalog.addItem(std::move(item));
    document.finishChange(hint::kItemAdded);
    document.requestCurrentItem(added);
    return added;
}
