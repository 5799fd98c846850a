#pragma once

#include <QString>
#include <QStringList>

#include "gui/CCommandTarget.h"

class CFileCatalog;
class CQuilloryDoc;

// The document's file commands that need a dialog: save as, rename the catalog, and the new-catalog wizard
// behind the new-catalog step. Registered with the document as a command family; it also gives the
// document its save-as step and its default wizard.
class CFileCommands final : public CCommandTarget {
public:
    explicit CFileCommands(CQuilloryDoc& document);
    ~CFileCommands() override;
    CFileCommands(const CFileCommands&) = delete;
    CFileCommands& operator=(const CFileCommands&) = delete;

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

    // Saves the catalog under another name and folder (a copy of its folder); true when it was saved.
    bool saveAs();

private:
    // The real new-catalog wizard and the catalog it sets up.
    bool runNewCatalogWizard();
    bool createCatalog(const QString& folder, const QString& name, const QStringList& categories);
    // Renames the catalog: its folder and its file.
    bool renameCatalog();
    CFileCatalog& catalog();

    CQuilloryDoc& m_document;
};
