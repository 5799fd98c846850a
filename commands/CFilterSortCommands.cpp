#include "commands/CFilterSortCommands.h"

#include <optional>

#include "dialogs/CFilterDlg.h"
#include "dialogs/CSortDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"

CFilterSortCommands::CFilterSortCommands(CQuilloryDoc& document) : m_document(document) {
    m_document.addCommandFamily(this);
}

CFilterSortCommands::~CFilterSortCommands() {
    m_document.removeCommandFamily(this);
}

bool CFilterSortCommands::onCommand(int id) {
    switch (id) {
        case cmd::kFilterSettings:
            editFilters();
            return true;
        case cmd::kSortSettings:
            editSortKeys();
            return true;
        default:
            return false;
    }
}

bool CFilterSortCommands::onUpdateCommand(int id, CCommandState& state) {
    (void)state;
    return id == cmd::kFilterSettings || id == cmd::kSortSettings;
}

void CFilterSortCommands::editFilters() {
    CFileCatalog& catalog = m_document.catalog();
    CFilterDlg dialog(catalog, m_document.dialogParent());
    if (dialog.exec() == QDialog::Accepted) {
        catalog.setFilterOn(true);
    }
    if (!catalog.filterOn()) {
        return;
    }
    {
        // Searching the contents of text files reads the disk: the user sees the wait.
        std::optional<CWaitCursor> wait;
        if (catalog.filters().hasContentCondition()) {
            wait.emplace();
        }
        catalog.recompute();
    }
    m_document.updateAllViews(nullptr, hint::kSortOrFilterChanged);
}

void CFilterSortCommands::editSortKeys() {
    CFileCatalog& catalog = m_document.catalog();
    CSortDlg dialog(catalog.sortKeys(), catalog.categoryNames(), m_document.dialogParent());
    dialog.exec();
    catalog.sort();
    m_document.updateAllViews(nullptr, hint::kSortOrFilterChanged);
}
