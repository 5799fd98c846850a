#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

#include "app/CCommandTarget.h"
#include "model/CFileCatalog.h"
#include "model/CUndoHistory.h"
#include "platform/CFileStamp.h"

class CCategoryView;
class CExportFileDialog;
class CFileListView;
class CProfile;
class CQuilloryView;
class CRecentFileList;
class CTextView;
enum class ExportFormat : int;  // app/CExportFileDialog.h

// The single document of the program. It lives for the whole run and owns the one catalog and its undo
// history; opening or creating a catalog clears and refills that same catalog. Every change ends with an
// update hint (app/UpdateHints.h) sent to all views.
class CQuilloryDoc final : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    // The title of a catalog that has no file yet.
    static constexpr const char* kUntitled = "無題";

    CQuilloryDoc(CProfile& profile, CRecentFileList& recentFiles, QObject* parent = nullptr);
    ~CQuilloryDoc() override;

    CProfile& profile() const { return m_profile; }
    // The window that owns the document's dialogs and message boxes (the main frame).
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }
    QWidget* dialogParent() const { return m_dialogParent; }

    CFileCatalog& catalog() { return m_catalog; }
    const CFileCatalog& catalog() const { return m_catalog; }
    CUndoHistory& undoHistory() { return m_undo; }
    CRecentFileList& recentFiles() const { return m_recentFiles; }

    // ---- views ----
    void addView(CQuilloryView* view);
    void removeView(CQuilloryView* view);
    const std::vector<CQuilloryView*>& views() const { return m_views; }
    // Tells every view but the sender of a change.
    void updateAllViews(CQuilloryView* sender, int hintValue);
    CCategoryView* categoryView() const;
    CFileListView* fileListView() const;
    CTextView* textView() const;

    // ---- the document's file ----
    QString pathName() const { return m_pathName; }
    // The file name of the path, or "無題" while the catalog has no file.
    QString title() const;
    // Sets the path (and so the title); the path goes to the top of the recent-file list.
    void setPathName(const QString& path, bool addToRecentFiles = true);
    bool isModified() const { return m_modified; }
    void setModifiedFlag(bool modified = true);

    // ---- the order of every change: undo point, change, recompute, modified, hint ----
    // Records a snapshot of the catalog as it is now, before a change.
    void recordUndoPoint();
    // After a change: recomputes the catalog, marks the document modified and sends the hint to all views.
    void finishChange(int hintValue);

    // The category names in catalog order, as the sort menu lists them.
    QStringList categoryNames() const;

    // ---- the catalog's life: opening, the new-catalog step, saving, closing ----
    // The new-catalog step of the new-catalog command: runs the new-catalog wizard and sets the catalog up.
    // False when the user cancelled; the open catalog then stays as it was.
    bool onNewDocument();
    // Reads the catalog file at the path into the catalog. False (after telling the user) when it cannot;
    // the document is then empty and untitled.
    bool onOpenDocument(const QString& path);
    // Writes the catalog to the path and clears the modified flag. False (after telling the user) when it
    // was not written: the document stays modified and the file on disk as it was. Before writing over the
    // file that was opened or last saved, asks when another program changed it meanwhile.
    bool onSaveDocument(const QString& path);
    // The save command: writes to the document's path, or asks for a name and folder when it has none.
    bool doFileSave();
    // Before the catalog is closed: asks whether to save an unsaved catalog. False when the user cancelled
    // or the save failed, so the catalog stays open.
    bool saveModified();
    // Empties the catalog and its undo history before another catalog is opened or created, so that undo
    // never brings back a state of another catalog.
    void deleteContents();

    // The wizard that the new-catalog step runs: it sets up the catalog and returns false when cancelled.
    // Replaceable, so that the start-up can be driven without a window.
    using NewCatalogWizard = std::function<bool(CQuilloryDoc&)>;
    void setNewCatalogWizard(NewCatalogWizard wizard) { m_newCatalogWizard = std::move(wizard); }
    // Called when the wizard completed (the application's new-catalog-pending flag is cleared here).
    void setNewCatalogCompleted(std::function<void()> completed) { m_newCatalogCompleted = std::move(completed); }

    // Shows the save dialog of an export and gives the chosen path (nothing when cancelled). Replaceable, so
    // that tests can answer for the user.
    using ExportFileChooser = std::function<std::optional<QString>(CExportFileDialog&)>;
    void setExportFileChooser(ExportFileChooser chooser) { m_exportFileChooser = std::move(chooser); }

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

Q_SIGNALS:
    void titleChanged();

private:
    // ---- the file and edit commands: save, save as, rename, undo, redo ----
    bool onFileCommand(int id);
    bool onUpdateFileCommand(int id, CCommandState& state);
    // The real new-catalog wizard and the catalog it sets up.
    bool runNewCatalogWizard();
    bool createCatalog(const QString& folder, const QString& name, const QStringList& categories);
    // Saves the catalog as a copy of its folder under another name and folder.
    bool saveAs();
    // Renames the catalog: its folder and its file.
    bool renameCatalog();
    void undo();
    void redo();
    // After reading or writing the file at the path: what it looks like now, to notice later changes.
    void rememberFileStamp(const QString& path);
    // Asks before writing over the remembered file when another program changed it; false for No.
    bool confirmOverwriteChangedFile(const QString& path);
    void newCatalogCompleted();

    // ---- the catalog-wide commands: columns, sort keys, filter, settings, shortcuts, new file, exports ----
    bool onCatalogCommand(int id);
    bool onUpdateCatalogCommand(int id, CCommandState& state);
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

    CProfile& m_profile;
    QPointer<QWidget> m_dialogParent;
    CRecentFileList& m_recentFiles;
    CFileCatalog m_catalog;
    CUndoHistory m_undo;
    std::vector<CQuilloryView*> m_views;
    QString m_pathName;
    bool m_modified = false;
    NewCatalogWizard m_newCatalogWizard;
    // The file the catalog was last read from or written to, as it was then.
    QString m_stampedPath;
    std::optional<CFileStamp> m_fileStamp;
    std::function<void()> m_newCatalogCompleted;
    ExportFileChooser m_exportFileChooser;
};
