#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "gui/CCommandTarget.h"

class CExportFileDialog;
class CFileCatalog;
class CQuilloryDoc;
enum class ExportFormat : int;  // dialogs/CExportFileDialog.h

// The catalog-wide commands: the fixed columns, the sort keys and direction, the filter switch, the
// refreshes, the catalog settings, the deletion of unused shortcuts, a new file from the user's templates,
// the XML and CSV exports and the HTML copy. Registered with the document as a command family.
class CCatalogCommands final : public CCommandTarget {
public:
    explicit CCatalogCommands(CQuilloryDoc& document);
    ~CCatalogCommands() override;
    CCatalogCommands(const CCatalogCommands&) = delete;
    CCatalogCommands& operator=(const CCatalogCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // Shows the save dialog of an export and gives the chosen path (nothing when cancelled). Replaceable, so
    // that tests can answer for the user.
    using ExportFileChooser = std::function<std::optional<QString>(CExportFileDialog&)>;
    void setExportFileChooser(ExportFileChooser chooser) { m_exportFileChooser = std::move(chooser); }

private:
    // The sort key that a sort menu command stands for, or nothing for another command (or a category
    // the catalog does not have).
    std::optional<int> sortKeyOfCommand(int id) const;
    void toggleColumn(int id);
    void makePrimarySortKey(int key);
    void toggleSortDirection();
    void toggleFilter();
    void deleteUnusedShortcuts();
    void editCatalogSettings();
    void createNewFileItem();
    void exportToFile(ExportFormat format);
    void copyHtmlToClipboard();
    CFileCatalog& catalog() const;

    CQuilloryDoc& m_document;
    ExportFileChooser m_exportFileChooser;
};
