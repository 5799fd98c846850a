#include "app/CQuilloryApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/CMainFrame.h"
#include "app/COptionsCommands.h"
#include "app/CRecentFileList.h"
#include "commands/CAddItemCommands.h"
#include "commands/CCatalogCommands.h"
#include "commands/CCategoryCommands.h"
#include "commands/CFileCommands.h"
#include "commands/CFilterSortCommands.h"
#include "desktop/CDesktopIntegration.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CCatalogDlg.h"
#include "gui/AppUtil.h"
#include "gui/CCaptureWaitDialog.h"
#include "gui/CQSettingsProfile.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "platform/CBrowserCapture.h"
#include "platform/CUserInterface.h"
#include "preview/CSPIControl.h"
#include "preview/CTextView.h"

namespace {

CQuilloryApp* g_instance = nullptr;

constexpr const char* kSystem = "System";

// The help pages beside the program (a build) or in the data folder of an install; the first candidate
// when neither exists, so that the missing-help message names where the pages were expected.
QString findHelpFilePath() {
    const QString beside = apputil::executableFolderPath(QStringLiteral("help/index.html"));
    const QStringList candidates{
        beside,
        QDir::cleanPath(apputil::executableFolderPath(QStringLiteral("../share/quillory/help/index.html"))),
        QStringLiteral(QUILLORY_DATA_INSTALL_DIR "/help/index.html"),
    };
    for (const QString& candidate : candidates) {
        if (QFileInfo::exists(candidate)) {
            return candidate;
        }
    }
    return beside;
}

// The catalog named on the command line: the first argument that is not an option.
QString fileFromCommandLine(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            return argument;
        }
    }
    return {};
}

// Copies the folder's files and subfolders into the target, leaving files that are there already.
void copyFolder(const QString& source, const QString& target) {
    QDir().mkpath(target);
    const QDir from(source);
    for (const QFileInfo& entry : from.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString destination = target + QLatin1Char('/') + entry.fileName();
        if (entry.isDir()) {
            copyFolder(entry.absoluteFilePath(), destination);
        } else if (!QFileInfo::exists(destination)) {
            QFile::copy(entry.absoluteFilePath(), destination);
        }
    }
}

}  // namespace

CQuilloryApp::CQuilloryApp() {
    g_instance = this;
    apputil::initResources();
    apputil::useJapaneseLocale();
    apputil::installQtTranslations();
}

CQuilloryApp::~CQuilloryApp() {
    m_frame.reset();
    m_addItemCommands.reset();
    m_filterSortCommands.reset();
    m_categoryCommands.reset();
    m_catalogCommands.reset();
    m_fileCommands.reset();
    m_document.reset();
    if (g_instance == this) {
        g_instance = nullptr;
    }
}

void CQuilloryApp::loadSusiePlugins() {
    CSPIControl::instance().scan(QFile::encodeName(m_susiePluginFolder).toStdString());
}

void CQuilloryApp::susiePluginOptionChanged(bool wasOn, bool isOn, const QString& folder) {
    // Switching plug-ins off, or changing the folder while they are on, unloads and rescans nothing.
    if (!wasOn && isOn) {
        m_susiePluginFolder = folder;
        loadSusiePlugins();
    }
}

CQuilloryApp* CQuilloryApp::instance() {
    return g_instance;
}

QString CQuilloryApp::sampleCatalogPath() {
    return apputil::defaultCatalogFolder() + QStringLiteral("/Sample3/Sample3.qlry");
}

bool CQuilloryApp::initInstance(const QStringList& arguments) {
    // OLE and COM need no set-up here: Qt's clipboard and drag and drop work without it. The image
    // library is loaded by the image preview itself.
    m_helpFilePath = findHelpFilePath();

    // The settings live in ~/.config/Vemto/Quillory.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("Vemto"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillory"));
    m_profile = std::make_unique<CQSettingsProfile>();
    // A capture may wait for the browser to save the page it shows; the user sees the wait.
    m_captureWait = std::make_unique<CCaptureWaitDialog>();
    m_browserTransport = std::make_unique<CLinuxBrowserTransport>();
    m_browserTransport->setWait(m_captureWait.get());
    m_browserCapture = std::make_unique<CBrowserCapture>(*m_browserTransport);

    m_recentFiles = std::make_unique<CRecentFileList>(*m_profile);
    m_recentFiles->load();

    // The single document with its main frame and first view; the catalog file type is made known to
    // the desktop for this user.
    m_document = std::make_unique<CQuilloryDoc>(*m_profile);
    connect(m_document.get(), &CQuilloryDoc::recentFileAdded, this,
            [this](const QString& path) { m_recentFiles->add(path); });
    connect(m_document.get(), &CQuilloryDoc::recentFileRemoved, this,
            [this](const QString& path) { m_recentFiles->remove(path); });
    m_document->setBrowserCapture(m_browserCapture.get());
    m_fileCommands = std::make_unique<CFileCommands>(*m_document);
    m_catalogCommands = std::make_unique<CCatalogCommands>(*m_document);
    m_categoryCommands = std::make_unique<CCategoryCommands>(*m_document);
    m_addItemCommands = std::make_unique<CAddItemCommands>(*m_document);
    m_filterSortCommands = std::make_unique<CFilterSortCommands>(*m_document);
    m_document->setNewCatalogCompleted([this] { m_newCatalogPending = 0; });
    if (m_newCatalogWizard) {
        m_document->setNewCatalogWizard(m_newCatalogWizard);
    }
    m_frame = std::make_unique<CMainFrame>(*m_profile, *m_document, *m_recentFiles, *this);
    m_frame->setHelpFilePath(m_helpFilePath);
    m_document->setDialogParent(m_frame.get());
    m_frame->createClient();
    m_frame->textView()->setNoPreviewExtensions(&m_noPreview);
    m_frame->optionsCommands().setExtensionLists(&m_noPreview, &CExtArray::textFiles());
    // Switched on in the options, the plug-ins come from the folder chosen there.
    m_frame->optionsCommands().setPluginsEnabled(
        [this](const QString& folder) { susiePluginOptionChanged(false, true, folder); });
    CDesktopIntegration::installForUser(QCoreApplication::applicationFilePath());

    const QString commandLineFile = fileFromCommandLine(arguments);

    if (m_profile->readInt(kSystem, "UseSusiePlugin", 0) != 0) {
        m_susiePluginFolder = QString::fromStdString(m_profile->readString(kSystem, "SusiePlugin", ""));
        loadSusiePlugins();
    }

    loadExtensionLists();

    bool opened = false;
    if (m_profile->readInt(kSystem, "FirstExec", 1) != 0) {
        opened = runSampleStep();
        m_profile->writeInt(kSystem, "FirstExec", 0);
    }

    if (!opened) {
        if (commandLineFile.isEmpty() && m_profile->readInt(kSystem, "InitFile", 1) != 0) {
            const QString recent = m_recentFiles->at(0);
            if (!(!recent.isEmpty() && QFileInfo::exists(recent) && openDocumentFile(recent))) {
                m_newCatalogPending = 1;
                newCatalog();
                if (m_newCatalogPending == 1) {
                    return false;
                }
            }
        } else if (!commandLineFile.isEmpty()) {
            if (!openDocumentFile(commandLineFile)) {
                return false;
            }
        } else if (!newCatalog()) {
            return false;
        }
    }

    m_frame->showWithStoredPlacement();
    m_frame->updateCommandStates();
    m_running = true;
    return true;
}

void CQuilloryApp::loadExtensionLists() {
    m_noPreview.clear();
    m_noPreview.load(*m_profile, CExtArray::kNoPreviewSection);
    CExtArray::loadTextFiles(*m_profile);
}

void CQuilloryApp::exitInstance() {
    if (!m_profile) {
        return;
    }
    m_frame.reset();
    // The browser link is released at exit.
    m_browserCapture.reset();
    m_browserTransport.reset();
    if (m_document) {
        m_document->setBrowserCapture(nullptr);
    }
    m_noPreview.save(*m_profile, CExtArray::kNoPreviewSection);
    CExtArray::saveTextFiles(*m_profile);
    m_recentFiles->save();
    m_profile->flush();
}

bool CQuilloryApp::runSampleStep() {
    const QString path = sampleCatalogPath();
    if (!QFileInfo::exists(path)) {
        installSampleForUser();
    }
    if (!QFileInfo::exists(path)) {
        CUserInterface::current().message(
            "サンプルファイルが見つかりません。再度、インストールを行ってください。", MessageIcon::None);
        return false;
    }
    if (!CUserInterface::current().askYesNo("サンプルファイルを開きますか？")) {
        return false;
    }
    return openDocumentFile(path);
}

void CQuilloryApp::installSampleForUser() {
    // An installed program ships the sample in its data folder; the user gets a copy of their own.
    const QStringList shipped{
        QDir::cleanPath(apputil::executableFolderPath(QStringLiteral("../share/quillory/sample/Sample3"))),
        QStringLiteral(QUILLORY_DATA_INSTALL_DIR "/sample/Sample3"),
    };
    for (const QString& source : shipped) {
        if (QFileInfo::exists(source + QStringLiteral("/Sample3.qlry"))) {
            copyFolder(source, QFileInfo(sampleCatalogPath()).absolutePath());
            return;
        }
    }
}

bool CQuilloryApp::newCatalog() {
    if (!m_document->saveModified()) {
        return false;
    }
    const bool created = m_document->onNewDocument();
    // The document keeps its path when the wizard was cancelled; setting it again restores the title and
    // puts the catalog back at the top of the recent-file list.
    if (!m_document->pathName().isEmpty()) {
        m_document->setPathName(m_document->pathName());
    }
    return created;
}

bool CQuilloryApp::openDocumentFile(const QString& path) {
    return m_document->saveModified() && openAnswered(path);
}

bool CQuilloryApp::openAnswered(const QString& path) {
    if (m_document->onOpenDocument(path)) {
        return true;
    }
    // The document was emptied by the failed read. Once the window is up the user gets the chance to
    // start a new catalog; cancelled, the document stays empty. At start-up the caller decides.
    if (m_running) {
        m_document->onNewDocument();
    }
    return false;
}

void CQuilloryApp::openRecentFile(int index) {
    const QString path = m_recentFiles->at(index);
    if (path.isEmpty()) {
        return;
    }
    // A cancelled save question keeps the entry: only a catalog that cannot be read leaves the list.
    if (!m_document->saveModified()) {
        return;
    }
    if (!openAnswered(path)) {
        m_recentFiles->remove(path);
    }
}

void CQuilloryApp::openCatalogFromList() {
    CCatalogDlg dialog(*m_profile, m_frame.get());
    dialog.setOpenCatalogPath(m_document->pathName());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedPath().isEmpty()) {
        openDocumentFile(dialog.selectedPath());
    }
}

void CQuilloryApp::showAbout() {
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

bool CQuilloryApp::onCommand(int id) {
    if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast) {
        openRecentFile(id - cmd::kFileMruFirst);
        return true;
    }
    switch (id) {
        case cmd::kFileNew:
            newCatalog();
            return true;
        case cmd::kFileOpen:
            openCatalogFromList();
            return true;
        case cmd::kOpenSample:
            runSampleStep();
            return true;
        case cmd::kAppAbout:
            showAbout();
            return true;
        case cmd::kHomePage:
            apputil::shellOpen(QString::fromLatin1(CAboutDlg::kHomePageUrl));
            return true;
        default:
            return false;
    }
}

bool CQuilloryApp::onUpdateCommand(int id, CCommandState& state) {
    if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast) {
        // The catalog that is open, unchanged, would only be read again as it is: greyed.
        const QString path = m_recentFiles->at(id - cmd::kFileMruFirst);
        state.enabled = path.isEmpty() || m_document->isModified() || m_document->pathName().isEmpty() ||
                        QFileInfo(path) != QFileInfo(m_document->pathName());
        return true;
    }
    switch (id) {
        case cmd::kFileNew:
        case cmd::kFileOpen:
        case cmd::kOpenSample:
        case cmd::kAppAbout:
        case cmd::kHomePage:
            return true;
        default:
            return false;
    }
}
