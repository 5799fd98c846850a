#include "app/CQuilloryDoc.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "app/AppUtil.h"
#include "app/CExportFileDialog.h"
#include "app/CQtTextClipboard.h"
#include "app/CQuilloryView.h"
#include "app/CRecentFileList.h"
#include "app/CWaitCursor.h"
#include "app/CommandIds.h"
#include "app/UpdateHints.h"
#include "dialogs/CCatalogSetDlg.h"
#include "dialogs/CNewCatalogWizard.h"
#include "dialogs/CNewDirPage.h"
#include "dialogs/CNewFileDlg.h"
#include "dialogs/CRenameDlg.h"
#include "export/CFileItemCSVExport.h"
#include "export/CFileItemHtmlExport.h"
#include "export/CFileItemXMLExport.h"
#include "model/CCatalogFile.h"
#include "model/CCatalogFolder.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"
#include "preview/CTextView.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"

CQuilloryDoc::CQuilloryDoc(CProfile& profile, CRecentFileList& recentFiles, QObject* parent)
    : QObject(parent),
      m_profile(profile),
      m_recentFiles(recentFiles),
      m_newCatalogWizard([this](CQuilloryDoc&) { return runNewCatalogWizard(); }) {}

CQuilloryDoc::~CQuilloryDoc() = default;

void CQuilloryDoc::addView(CQuilloryView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) {
        m_views.push_back(view);
    }
}

void CQuilloryDoc::removeView(CQuilloryView* view) { std::erase(m_views, view); }

void CQuilloryDoc::updateAllViews(CQuilloryView* sender, int hintValue) {
    // A copy: a view may be added or removed while the hint travels.
    const std::vector<CQuilloryView*> views = m_views;
    for (CQuilloryView* view : views) {
        if (view != sender) {
            view->onUpdate(sender, hintValue);
        }
    }
}

template <typename View>
static View* findView(const std::vector<CQuilloryView*>& views) {
    for (CQuilloryView* view : views) {
        if (auto* found = qobject_cast<View*>(view)) {
            return found;
        }
    }
    return nullptr;
}

CCategoryView* CQuilloryDoc::categoryView() const { return findView<CCategoryView>(m_views); }
CFileListView* CQuilloryDoc::fileListView() const { return findView<CFileListView>(m_views); }
CTextView* CQuilloryDoc::textView() const { return findView<CTextView>(m_views); }

QString CQuilloryDoc::title() const {
    return m_pathName.isEmpty() ? QString::fromUtf8(kUntitled) : QFileInfo(m_pathName).fileName();
}

void CQuilloryDoc::setPathName(const QString& path, bool addToRecentFiles) {
    m_pathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    if (addToRecentFiles && !m_pathName.isEmpty()) {
        m_recentFiles.add(m_pathName);
    }
    Q_EMIT titleChanged();
}

void CQuilloryDoc::setModifiedFlag(bool modified) { m_modified = modified; }

void CQuilloryDoc::recordUndoPoint() { m_undo.recordCatalog(m_catalog); }

void CQuilloryDoc::finishChange(int hintValue) {
    m_catalog.recompute();
    setModifiedFlag(true);
    updateAllViews(nullptr, hintValue);
}

QStringList CQuilloryDoc::categoryNames() const {
    QStringList names;
    for (const std::string& name : m_catalog.categoryNames()) {
        names.append(QString::fromStdString(name));
    }
    return names;
}

bool CQuilloryDoc::onNewDocument() {
    if (!m_newCatalogWizard || !m_newCatalogWizard(*this)) {
        return false;
    }
    newCatalogCompleted();
    return true;
}

void CQuilloryDoc::newCatalogCompleted() {
    if (m_newCatalogCompleted) {
        m_newCatalogCompleted();
    }
}

bool CQuilloryDoc::onOpenDocument(const QString& path) {
    deleteContents();
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    std::optional<CCatalogFileError> error;
    {
        CWaitCursor wait;
        error = CCatalogFile::read(m_catalog, absolutePath.toStdString());
    }
    setModifiedFlag(false);
    if (error) {
        // The catalog was cleared: the document is empty and has no file.
        m_catalog.clear();
        setPathName(QString(), false);
        updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
        CUserInterface::current().message(error->userMessage(), MessageIcon::Warning);
        return false;
    }
    setPathName(absolutePath);
    rememberFileStamp(absolutePath);
    updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
    return true;
}

bool CQuilloryDoc::onSaveDocument(const QString& path) {
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    if (!confirmOverwriteChangedFile(absolutePath)) {
        return false;
    }
    std::optional<CCatalogFileError> error;
    {
        CWaitCursor wait;
        error = CCatalogFile::write(m_catalog, absolutePath.toStdString());
    }
    if (error) {
        CUserInterface::current().message(error->userMessage(), MessageIcon::Warning);
        return false;
    }
    setModifiedFlag(false);
    rememberFileStamp(absolutePath);
    return true;
}

bool CQuilloryDoc::doFileSave() { return m_pathName.isEmpty() ? saveAs() : onSaveDocument(m_pathName); }

bool CQuilloryDoc::saveModified() {
    if (!m_modified) {
        return true;
    }
    const QString question = QStringLiteral("%1 への変更を保存しますか?").arg(title());
    switch (CUserInterface::current().askYesNoCancel(question.toStdString())) {
        case Answer::Yes:
            return doFileSave();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

void CQuilloryDoc::deleteContents() {
    m_catalog.clear();
    m_undo.clear();
    m_stampedPath.clear();
    m_fileStamp.reset();
}

bool CQuilloryDoc::onCommand(int id) { return onFileCommand(id) || onCatalogCommand(id); }

bool CQuilloryDoc::onUpdateCommand(int id, CCommandState& state) {
    return onUpdateFileCommand(id, state) || onUpdateCatalogCommand(id, state);
}

// ---- the file and edit commands ----

namespace {

constexpr const char* kSaveToRename = "カタログ名を変更するためには保存する必要があります。保存しますか？";
constexpr const char* kSaveAsFailed = "カタログの別名保存が出来ませんでした";
constexpr const char* kFolderRenameFailed = "フォルダ名の変更が出来ませんでした";
constexpr const char* kFileRenameFailed = "ファイル名の変更が出来ませんでした";
constexpr const char* kChangedOnDisk = "%1 は他のプログラムによって変更されています。上書きしますか？";

// A catalog name becomes a folder and a file name: it must be one plain name, not a path.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

// The folder that the catalog folder history proposes first.
QString proposedParentFolder(CProfile& profile) {
    const QString recent = QString::fromStdString(profile.readString("Folder", "Catalog00", ""));
    return recent.isEmpty() ? apputil::defaultCatalogFolder() : recent;
}

}  // namespace

bool CQuilloryDoc::onFileCommand(int id) {
    switch (id) {
        case cmd::kFileSave:
            doFileSave();
            return true;
        case cmd::kFileSaveAs:
            saveAs();
            return true;
        case cmd::kRenameCatalog:
            renameCatalog();
            return true;
        case cmd::kEditUndo:
            undo();
            return true;
        case cmd::kEditRedo:
            redo();
            return true;
        default:
            return false;
    }
}

bool CQuilloryDoc::onUpdateFileCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kFileSave:
        case cmd::kFileSaveAs:
            state.enabled = true;
            return true;
        case cmd::kRenameCatalog:
            state.enabled = !m_pathName.isEmpty();
            return true;
        case cmd::kEditUndo:
            state.enabled = m_undo.canUndo();
            return true;
        case cmd::kEditRedo:
            state.enabled = m_undo.canRedo();
            return true;
        default:
            return false;
    }
}

bool CQuilloryDoc::runNewCatalogWizard() {
    CNewCatalogWizard wizard(m_profile, m_dialogParent);
    wizard.dirPage().setOpenCatalogPath(m_pathName);
    if (wizard.exec() != QDialog::Accepted) {
        return false;
    }
    // From here on the wizard has completed, even when the catalog cannot be set up.
    newCatalogCompleted();
    deleteContents();
    setModifiedFlag(false);
    setPathName(QString(), false);
    if (wizard.openExisting()) {
        onOpenDocument(wizard.existingCatalogPath());
        return true;
    }
    return createCatalog(wizard.folder(), wizard.catalogName(), wizard.categoryNames());
}

bool CQuilloryDoc::createCatalog(const QString& folder, const QString& name, const QStringList& categories) {
    if (const auto failure = CCatalogFolder(m_catalog).setLocation(folder.toStdString(), name.toStdString())) {
        CUserInterface::current().message(failure->userMessage(), MessageIcon::Error);
        updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
        return false;
    }
    for (const QString& category : categories) {
        m_catalog.addCategory(category.toStdString());
    }
    m_catalog.recompute();
    const QString path = QString::fromStdString(m_catalog.path());
    setPathName(path);
    updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
    if (!onSaveDocument(path)) {
        setModifiedFlag(true);  // the new catalog exists only in memory
    }
    return true;
}

bool CQuilloryDoc::saveAs() {
    const bool hasFile = !m_pathName.isEmpty();
    const QString name = QString::fromStdString(m_catalog.catalogName());
    CRenameDlg dialog(m_profile, m_dialogParent);
    dialog.setSaveAs(true);
    dialog.setCurrentName(name);
    dialog.setNewName(name);
    dialog.setFolder(hasFile ? QString::fromStdString(m_catalog.parentFolder())
                             : proposedParentFolder(m_profile));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const std::string oldPath = m_catalog.path();
    const std::string folder = dialog.folder().toStdString();
    const std::string newName = dialog.newName().toStdString();
    if (!hasFile) {
        // Nothing to copy yet: the catalog gets its folder as a new catalog does.
        if (!isPlainName(dialog.newName())) {
            CUserInterface::current().message(kSaveAsFailed, MessageIcon::Warning);
            return false;
        }
        if (const auto failure = CCatalogFolder(m_catalog).setLocation(folder, newName)) {
            CUserInterface::current().message(failure->userMessage(), MessageIcon::Error);
            m_catalog.setPath(oldPath);
            return false;
        }
    } else if (!isPlainName(dialog.newName()) || CCatalogFolder(m_catalog).copy(folder, newName)) {
        m_catalog.setPath(oldPath);
        CUserInterface::current().message(kSaveAsFailed, MessageIcon::Warning);
        return false;
    }
    const QString path = QString::fromStdString(m_catalog.path());
    setPathName(path);
    return onSaveDocument(path);
}

bool CQuilloryDoc::renameCatalog() {
    if (m_modified) {
        if (!CUserInterface::current().askYesNo(kSaveToRename) || !doFileSave()) {
            return false;
        }
    }
    if (m_pathName.isEmpty()) {
        return false;
    }
    const QString name = QString::fromStdString(m_catalog.catalogName());
    CRenameDlg dialog(m_profile, m_dialogParent);
    dialog.setCurrentName(name);
    dialog.setNewName(name);
    dialog.setFolder(QString::fromStdString(m_catalog.parentFolder()));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const QString oldPath = m_pathName;
    const std::string oldCatalogPath = m_catalog.path();
    const std::string newName = dialog.newName().toStdString();
    const std::optional<CCatalogFolderError> moved =
        isPlainName(dialog.newName()) ? CCatalogFolder(m_catalog).move(dialog.folder().toStdString(), newName)
                                      : CCatalogFolderError(CatalogFolderErrorKind::Rename, oldCatalogPath);
    if (moved && !moved->failed()) {
        CUserInterface::current().message(moved->userMessage(), MessageIcon::Warning);
    }
    if (moved && moved->failed()) {
        m_catalog.setPath(oldCatalogPath);
        CUserInterface::current().message(kFolderRenameFailed, MessageIcon::Warning);
        return false;
    }
    const bool fileRenamed = !CCatalogFolder(m_catalog).renameFile(newName);
    // The folder has moved: the document follows its file, whether or not the file took the new name.
    const QString path = QString::fromStdString(m_catalog.path());
    if (m_fileStamp && CFileStamp::of(path.toStdString()) == m_fileStamp) {
        m_stampedPath = path;
    }
    m_recentFiles.remove(oldPath);
    setPathName(path);
    if (!fileRenamed) {
        CUserInterface::current().message(kFileRenameFailed, MessageIcon::Warning);
        return false;
    }
    return onSaveDocument(path);
}

void CQuilloryDoc::undo() {
    // A state from before a save as or rename still belongs in the catalog's present file.
    const std::string path = m_catalog.path();
    if (m_undo.undoCatalog(m_catalog)) {
        m_catalog.setPath(path);
        finishChange(hint::kUndoRedo);
    }
}

void CQuilloryDoc::redo() {
    const std::string path = m_catalog.path();
    if (m_undo.redoCatalog(m_catalog)) {
        m_catalog.setPath(path);
        finishChange(hint::kUndoRedo);
    }
}

void CQuilloryDoc::rememberFileStamp(const QString& path) {
    m_stampedPath = path;
    m_fileStamp = CFileStamp::of(path.toStdString());
}

bool CQuilloryDoc::confirmOverwriteChangedFile(const QString& path) {
    if (path != m_stampedPath || !m_fileStamp) {
        return true;
    }
    const std::optional<CFileStamp> now = CFileStamp::of(path.toStdString());
    if (!now || *now == *m_fileStamp) {
        return true;  // unchanged, or gone: nothing of another program's is overwritten
    }
    const QString question = QString::fromUtf8(kChangedOnDisk).arg(QFileInfo(path).fileName());
    return CUserInterface::current().askYesNo(question.toStdString());
}

// ---- the catalog-wide commands ----

namespace {

constexpr const char* kNewFileFailed =
    "ファイルの新規作成に失敗しました。既に同名のファイルがないかご確認ください";

// The built-in sort keys in the order of their commands 32835 .. 32839: name, date, size, extension,
// folder.
constexpr int kFirstBuiltInSortKey = -1;

QString joinPath(const QString& folder, const QString& fileName) {
    return folder.endsWith(QLatin1Char('/')) ? folder + fileName : folder + QLatin1Char('/') + fileName;
}

// The template for a new file of the extension (dot included): the first file, by name, of the user's
// templates folder whose name ends with it; "" when there is none.
QString templateFor(const QString& extension) {
    const QString folder = apputil::templatesFolder();
    if (extension.size() < 2 || folder.isEmpty()) {
        return QString();
    }
    const QFileInfoList candidates = QDir(folder).entryInfoList({QStringLiteral("*") + extension},
                                                                QDir::Files | QDir::Readable, QDir::Name);
    return candidates.isEmpty() ? QString() : candidates.constFirst().absoluteFilePath();
}

// Creates the file: a copy of the template of its extension, else an empty file. An existing file (or
// anything else at the path) is never overwritten; false then, and whenever the file cannot be made.
bool createNewFile(const QString& path) {
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink()) {
        return false;
    }
    const QString name = target.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString source = dot < 0 ? QString() : templateFor(name.mid(dot));
    if (!source.isEmpty()) {
        return QFile::copy(source, path);  // QFile::copy refuses an existing target
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

}  // namespace

std::optional<int> CQuilloryDoc::sortKeyOfCommand(int id) const {
    if (id >= cmd::kSortByName && id <= cmd::kSortByFolder) {
        return kFirstBuiltInSortKey - (id - cmd::kSortByName);
    }
    if (cmd::isSortByCategory(id) && id - cmd::kSortByCategoryFirst < m_catalog.categoryCount()) {
        return id - cmd::kSortByCategoryFirst;
    }
    return std::nullopt;
}

bool CQuilloryDoc::onCatalogCommand(int id) {
    if (const std::optional<int> key = sortKeyOfCommand(id)) {
        makePrimarySortKey(*key);
        return true;
    }
    switch (id) {
        case cmd::kShowNameColumn:
        case cmd::kShowDateColumn:
        case cmd::kShowSizeColumn:
            toggleColumn(id);
            return true;
        case cmd::kSortAscending:
            toggleSortDirection();
            return true;
        case cmd::kRunFilter:
            toggleFilter();
            return true;
        case cmd::kRefreshValueLists:
            updateAllViews(nullptr, hint::kValueListsRefreshed);
            return true;
        case cmd::kRefreshList:
            updateAllViews(nullptr, hint::kListRefresh);
            return true;
        case cmd::kDeleteUnusedShortcuts:
            deleteUnusedShortcuts();
            return true;
        case cmd::kCatalogSettings:
            editCatalogSettings();
            return true;
        case cmd::kNewFileItem:
            createNewFileItem();
            return true;
        case cmd::kExportXml:
            exportToFile(ExportFormat::Xml);
            return true;
        case cmd::kExportCsv:
            exportToFile(ExportFormat::Csv);
            return true;
        case cmd::kCopyHtml:
            copyHtmlToClipboard();
            return true;
        default:
            return false;
    }
}

bool CQuilloryDoc::onUpdateCatalogCommand(int id, CCommandState& state) {
    if (const std::optional<int> key = sortKeyOfCommand(id)) {
        state.checked = m_catalog.sortKeys().primaryKey() == *key;
        return true;
    }
    switch (id) {
        case cmd::kShowNameColumn:
            state.checked = m_catalog.showName();
            return true;
        case cmd::kShowDateColumn:
            state.checked = m_catalog.showDate();
            return true;
        case cmd::kShowSizeColumn:
            state.checked = m_catalog.showSize();
            return true;
        case cmd::kSortAscending:
            state.checked = m_catalog.sortKeys().primaryAscending();
            return true;
        case cmd::kRunFilter:
            state.checked = m_catalog.filterOn();
            return true;
        case cmd::kRefreshValueLists:
        case cmd::kRefreshList:
        case cmd::kDeleteUnusedShortcuts:
        case cmd::kCatalogSettings:
        case cmd::kNewFileItem:
        case cmd::kExportXml:
        case cmd::kExportCsv:
        case cmd::kCopyHtml:
            return true;
        default:
            return false;
    }
}

void CQuilloryDoc::toggleColumn(int id) {
    recordUndoPoint();
    switch (id) {
        case cmd::kShowNameColumn:
            m_catalog.setShowName(!m_catalog.showName());
            break;
        case cmd::kShowDateColumn:
            m_catalog.setShowDate(!m_catalog.showDate());
            break;
        default:
            m_catalog.setShowSize(!m_catalog.showSize());
            break;
    }
    setModifiedFlag(true);
    updateAllViews(nullptr, hint::kColumnToggled);
}

// The sort commands change the order only: no undo point, and the document stays as modified as it was.
void CQuilloryDoc::makePrimarySortKey(int key) {
    m_catalog.setPrimaryAndSort(key, m_catalog.sortKeys().primaryAscending());
    updateAllViews(nullptr, hint::kSortOrFilterChanged);
}

void CQuilloryDoc::toggleSortDirection() {
    const CSortArray& keys = m_catalog.sortKeys();
    m_catalog.setPrimaryAndSort(keys.primaryKey(), !keys.primaryAscending());
    updateAllViews(nullptr, hint::kListRefresh);
}

void CQuilloryDoc::toggleFilter() {
    m_catalog.setFilterOn(!m_catalog.filterOn());
    m_catalog.recompute();
    updateAllViews(nullptr, hint::kSortOrFilterChanged);
}

void CQuilloryDoc::deleteUnusedShortcuts() {
    CUserInterface& ui = CUserInterface::current();
    if (!ui.askYesNo("未使用のショートカットを削除しますか？")) {
        return;
    }
    int deleted = 0;
    {
        const CWaitCursor wait;
        deleted = CCatalogFolder(m_catalog).deleteUnusedShortcuts();
    }
    ui.message(QStringLiteral("%1個のショートカットを削除しました").arg(deleted).toStdString(),
               MessageIcon::Information);
}

void CQuilloryDoc::editCatalogSettings() {
    CCatalogSetDlg dialog(m_dialogParent);
    dialog.setUseShortcuts(m_catalog.useShortcuts());
    dialog.setRelativePaths(m_catalog.relativePaths());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_catalog.setUseShortcuts(dialog.useShortcuts());
    m_catalog.setRelativePaths(dialog.relativePaths());
    setModifiedFlag(true);
}

void CQuilloryDoc::createNewFileItem() {
    CNewFileDlg dialog(m_profile, m_dialogParent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The undo point comes first, so that it is there even when the file cannot be made.
    recordUndoPoint();
    const QString path = joinPath(dialog.folder(), dialog.fileName());
    if (!createNewFile(path)) {
        CUserInterface::current().message(kNewFileFailed, MessageIcon::Warning);
        return;
    }
    std::unique_ptr<CFileItem> item = m_catalog.newItem(true);
    item->setPath(QFileInfo(path).absoluteFilePath().toStdString(), m_catalog.catalogFolder(),
                  m_catalog.useShortcuts());
    m_catalog.addItem(std::move(item));
    finishChange(hint::kItemAdded);
}

void CQuilloryDoc::exportToFile(ExportFormat format) {
    CExportFileDialog dialog(format, m_profile, m_dialogParent);
    const std::optional<QString> path = m_exportFileChooser ? m_exportFileChooser(dialog) : dialog.run();
    if (!path) {
        return;
    }
    dialog.rememberFile(*path);
    const CWaitCursor wait;
    const std::string target = path->toStdString();
    if (format == ExportFormat::Xml) {
        CFileItemXMLExport(m_catalog).exportToFile(target);
    } else {
        CFileItemCSVExport(m_catalog).exportToFile(target);
    }
}

void CQuilloryDoc::copyHtmlToClipboard() {
    const CWaitCursor wait;
    CQtTextClipboard clipboard;
    CFileItemHtmlExport(m_catalog).copyToClipboard(clipboard);
}
