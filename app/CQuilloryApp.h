#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "gui/CCommandTarget.h"
#include "model/CExtArray.h"

class CBrowserCapture;
class CAddItemCommands;
class CCatalogCommands;
class CCategoryCommands;
class CFilterSortCommands;
class CLinuxBrowserTransport;
class CCaptureWaitDialog;
class CFileCommands;
class CMainFrame;
class CQSettingsProfile;
class CQuilloryDoc;
class CRecentFileList;

// The application object: brings the program up in a fixed order, owns the settings that live for the
// whole run (the extension lists, the help path, the recent-file list), opens the first catalog, carries
// out the application-level commands and saves its own settings at exit.
class CQuilloryApp final : public QObject, public CCommandTarget {
    Q_OBJECT
public:
    CQuilloryApp();
    ~CQuilloryApp() override;

    // The running application (nullptr outside a run).
    static CQuilloryApp* instance();

    // Start-up. `arguments` are the command line without the program name. False when the program must
    // end before any window is shown (a cancelled new-catalog wizard, or a command line that failed).
    bool initInstance(const QStringList& arguments);
    // Exit: saves the extension lists and the recent-file list.
    void exitInstance();

    CQSettingsProfile& profile() const { return *m_profile; }
    CQuilloryDoc& document() const { return *m_document; }
    CMainFrame* mainFrame() const { return m_frame.get(); }
    CRecentFileList& recentFiles() const { return *m_recentFiles; }
    CCatalogCommands& catalogCommands() const { return *m_catalogCommands; }
    const CExtArray& noPreviewExtensions() const { return m_noPreview; }
    CExtArray& noPreviewExtensions() { return m_noPreview; }
    CExtArray& textFileExtensions() { return CExtArray::textFiles(); }
    QString helpFilePath() const { return m_helpFilePath; }
    QString susiePluginFolder() const { return m_susiePluginFolder; }
    // The options dialog's "UseSusiePlugin" before and after OK, and its "SusiePlugin" folder: switched
    // from off to on, the folder is taken over and the image plug-ins are loaded again.
    void susiePluginOptionChanged(bool wasOn, bool isOn, const QString& folder);
    int newCatalogPending() const { return m_newCatalogPending; }

    // The sample catalog: "<default catalog folder>/Sample3/Sample3.qlry".
    static QString sampleCatalogPath();
    // The sample step: offers the sample catalog and opens it on Yes. True when it was opened.
    bool runSampleStep();
    // The new-catalog command: the document's new-catalog step, keeping the title when it is cancelled.
    bool newCatalog();
    // Opens a catalog file as the document, after asking to save an unsaved one. When the file cannot be
    // read after start-up, the new-catalog step follows.
    bool openDocumentFile(const QString& path);

    // The new-catalog wizard that the document runs (set before start-up; the default comes from the
    // document).
    void setNewCatalogWizard(std::function<bool(CQuilloryDoc&)> wizard) {
        m_newCatalogWizard = std::move(wizard);
    }

    bool onCommand(int id) override;
    bool onUpdateCommand(int id, CCommandState& state) override;

private:
    void loadExtensionLists();
    // Loads the image plug-ins of the plug-in folder (those not loaded already).
    void loadSusiePlugins();
    void installSampleForUser();
    // Opens a catalog file once the save question is answered; on a failed read after start-up the
    // new-catalog step follows.
    bool openAnswered(const QString& path);
    void openRecentFile(int index);
    // The open command: the catalog chosen in the catalog list.
    void openCatalogFromList();
    void showAbout();

    std::unique_ptr<CQSettingsProfile> m_profile;
    // The browser link: one capture client for the whole run, over the transport that reads the running
    // browsers' sessions.
    std::unique_ptr<CCaptureWaitDialog> m_captureWait;
    std::unique_ptr<CLinuxBrowserTransport> m_browserTransport;
    std::unique_ptr<CBrowserCapture> m_browserCapture;
    std::unique_ptr<CRecentFileList> m_recentFiles;
    std::unique_ptr<CQuilloryDoc> m_document;
    std::unique_ptr<CFileCommands> m_fileCommands;
    std::unique_ptr<CCatalogCommands> m_catalogCommands;
    std::unique_ptr<CCategoryCommands> m_categoryCommands;
    std::unique_ptr<CAddItemCommands> m_addItemCommands;
    std::unique_ptr<CFilterSortCommands> m_filterSortCommands;
    std::unique_ptr<CMainFrame> m_frame;
    CExtArray m_noPreview;
    QString m_helpFilePath;
    QString m_susiePluginFolder;
    int m_newCatalogPending = 0;
    bool m_running = false;  // start-up has shown the main window
    std::function<bool(CQuilloryDoc&)> m_newCatalogWizard;
};
