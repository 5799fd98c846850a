#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalog/CUndoHistory.h"
#include "gui/CCommandTarget.h"
#include "platform/CFileStamp.h"

class CBrowserCapture;
class CProfile;
class CQuilloryView;

// The single document of the program. It lives for the whole run and owns the one catalog and its undo
// history; opening or creating a catalog clears and refills that same catalog. Every change ends with an
// update hint (gui/UpdateHints.h) sent to all views.
//
// Commands reach the document after the active view. It passes the item commands on to the view that
// registered for them (the item list) and the image commands to the preview, then handles its own (save,
// undo, redo), then asks the command families registered with it (file, catalog-wide, ...), each a command
// target of its own, so that neither a new view nor a new family of commands changes the document.
class CQuilloryDoc final : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    // The title of a catalog that has no file yet.
    static constexpr const char* kUntitled = "無題";

    // The commands that the document passes on to a view rather than handling them.
    enum class PassedCommands { Item, Image };

    explicit CQuilloryDoc(CProfile& profile, QObject* parent = nullptr);
    ~CQuilloryDoc() override;

    CProfile& profile() const { return m_profile; }
    // The window that owns the document's dialogs and message boxes (the main frame).
    void setDialogParent(QWidget* parent) { m_dialogParent = parent; }
    QWidget* dialogParent() const { return m_dialogParent; }

    CFileCatalog& catalog() { return m_catalog; }
    const CFileCatalog& catalog() const { return m_catalog; }
    CUndoHistory& undoHistory() { return m_undo; }
    // The one browser page capture of the run, for the commands that register the page a browser shows;
    // nullptr when the program has none. Not owned.
    void setBrowserCapture(CBrowserCapture* capture) { m_browserCapture = capture; }
    CBrowserCapture* browserCapture() const { return m_browserCapture; }

    // ---- views and command routing ----
    void addView(CQuilloryView* view);
    void removeView(CQuilloryView* view);
    const std::vector<CQuilloryView*>& views() const { return m_views; }
    // Tells every view but the sender of a change.
    void updateAllViews(CQuilloryView* sender, int hintValue);
    // The view that takes the passed commands of the kind; nullptr for none. A view registers itself and
    // is forgotten when it goes.
    void setCommandView(PassedCommands kind, CQuilloryView* view);
    CQuilloryView* commandView(PassedCommands kind) const;
    // A family of commands that the document offers every command after its own. Not owned.
    void addCommandFamily(CCommandTarget* family);
    void removeCommandFamily(CCommandTarget* family);

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
    // Asks the item list to make the item its current row (after an item was added).
    void requestCurrentItem(const CFileItem* item) { Q_EMIT currentItemRequested(item); }

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
    // The save command: writes to the document's path, or runs the save-as step when it has none.
    bool doFileSave();
    // Before the catalog is closed: asks whether to save an unsaved catalog. False when the user cancelled
    // or the save failed, so the catalog stays open.
    bool saveModified();
    // Empties the catalog and its undo history before another catalog is opened or created, so that undo
    // never brings back a state of another catalog.
    void deleteContents();
    // The catalog's file moved to the path (a renamed catalog): the stamp of the file last read or written
    // follows it when the file is still the same.
    void followMovedFile(const QString& path);

    // The wizard that the new-catalog step runs: it sets up the catalog and returns false when cancelled.
    // Replaceable, so that the start-up can be driven without a window.
    using NewCatalogWizard = std::function<bool(CQuilloryDoc&)>;
    void setNewCatalogWizard(NewCatalogWizard wizard) { m_newCatalogWizard = std::move(wizard); }
    // Called when the wizard completed (the application's new-catalog-pending flag is cleared here).
    void setNewCatalogCompleted(std::function<void()> completed) {
        m_newCatalogCompleted = std::move(completed);
    }
    void newCatalogCompleted();
    // The save-as step that the save command runs for a catalog without a file; true when it saved.
    void setSaveAsStep(std::function<bool()> step) { m_saveAsStep = std::move(step); }

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

Q_SIGNALS:
    void titleChanged();
    // The path became the document's file and goes to the top of the recent-file list.
    void recentFileAdded(const QString& path);
    // The path is no longer a catalog (renamed away) and leaves the recent-file list.
    void recentFileRemoved(const QString& path);
    void currentItemRequested(const CFileItem* item);
    // A short note for the status bar: the outcome of a command that changes nothing else on screen.
    void statusNote(const QString& text);

private:
    // After reading or writing the file at the path: what it looks like now, to notice later changes.
    void rememberFileStamp(const QString& path);
    // Asks before writing over the remembered file when another program changed it; false for No.
    bool confirmOverwriteChangedFile(const QString& path);
    void undo();
    void redo();
    bool onOwnCommand(int id);
    bool onUpdateOwnCommand(int id, CCommandState& state);

    CProfile& m_profile;
    QPointer<QWidget> m_dialogParent;
    CFileCatalog m_catalog;
    CUndoHistory m_undo;
    std::vector<CQuilloryView*> m_views;
    QPointer<CQuilloryView> m_itemCommandView;
    QPointer<CQuilloryView> m_imageCommandView;
    std::vector<CCommandTarget*> m_families;
    CBrowserCapture* m_browserCapture = nullptr;
    QString m_pathName;
    bool m_modified = false;
    NewCatalogWizard m_newCatalogWizard;
    std::function<bool()> m_saveAsStep;
    // The file the catalog was last read from or written to, as it was then.
    QString m_stampedPath;
    std::optional<CFileStamp> m_fileStamp;
    std::function<void()> m_newCatalogCompleted;
};
