#include "commands/CFileCommands.h"

#include "catalog/CCatalogFolder.h"
#include "dialogs/CNewCatalogWizard.h"
#include "dialogs/CNewDirPage.h"
#include "dialogs/CRenameDlg.h"
#include "gui/AppUtil.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CProfile.h"
#include "platform/CUserInterface.h"

namespace {

constexpr const char* kSaveToRename = "カタログ名を変更するためには保存する必要があります。保存しますか？";
constexpr const char* kSaveAsFailed = "カタログの別名保存が出来ませんでした";
constexpr const char* kFolderRenameFailed = "フォルダ名の変更が出来ませんでした";
constexpr const char* kFileRenameFailed = "ファイル名の変更が出来ませんでした";

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

CFileCommands::CFileCommands(CQuilloryDoc& document) : m_document(document) {
    m_document.setNewCatalogWizard([this](CQuilloryDoc&) { return runNewCatalogWizard(); });
    m_document.setSaveAsStep([this] { return saveAs(); });
    m_document.addCommandFamily(this);
}

CFileCommands::~CFileCommands() {
    m_document.removeCommandFamily(this);
    m_document.setSaveAsStep({});
}

bool CFileCommands::onCommand(int id) {
    switch (id) {
        case cmd::kFileSaveAs:
            saveAs();
            return true;
        case cmd::kRenameCatalog:
            renameCatalog();
            return true;
        default:
            return false;
    }
}

bool CFileCommands::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kFileSaveAs:
            state.enabled = true;
            return true;
        case cmd::kRenameCatalog:
            state.enabled = !m_document.pathName().isEmpty();
            return true;
        default:
            return false;
    }
}

CFileCatalog& CFileCommands::catalog() { return m_document.catalog(); }

bool CFileCommands::runNewCatalogWizard() {
    CNewCatalogWizard wizard(m_document.profile(), m_document.dialogParent());
    wizard.dirPage().setOpenCatalogPath(m_document.pathName());
    if (wizard.exec() != QDialog::Accepted) {
        return false;
    }
    // From here on the wizard has completed, even when the catalog cannot be set up.
    m_document.newCatalogCompleted();
    m_document.deleteContents();
    m_document.setModifiedFlag(false);
    m_document.setPathName(QString(), false);
    if (wizard.openExisting()) {
        m_document.onOpenDocument(wizard.existingCatalogPath());
        return true;
    }
    return createCatalog(wizard.folder(), wizard.catalogName(), wizard.categoryNames());
}

bool CFileCommands::createCatalog(const QString& folder, const QString& name, const QStringList& categories) {
    if (const auto failure = CCatalogFolder(catalog()).setLocation(folder.toStdString(), name.toStdString())) {
        CUserInterface::current().message(failure->userMessage(), MessageIcon::Error);
        m_document.updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
        return false;
    }
    for (const QString& category : categories) {
        catalog().addCategory(category.toStdString());
    }
    catalog().recompute();
    const QString path = QString::fromStdString(catalog().path());
    m_document.setPathName(path);
    m_document.updateAllViews(nullptr, hint::kUndoRedo | hint::kValueLists);
    if (!m_document.onSaveDocument(path)) {
        m_document.setModifiedFlag(true);  // the new catalog exists only in memory
    }
    return true;
}

bool CFileCommands::saveAs() {
    const bool hasFile = !m_document.pathName().isEmpty();
    const QString name = QString::fromStdString(catalog().catalogName());
    CRenameDlg dialog(m_document.profile(), m_document.dialogParent());
    dialog.setSaveAs(true);
    dialog.setCurrentName(name);
    dialog.setNewName(name);
    dialog.setFolder(hasFile ? QString::fromStdString(catalog().parentFolder())
                             : proposedParentFolder(m_document.profile()));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const std::string oldPath = catalog().path();
    const std::string folder = dialog.folder().toStdString();
    const std::string newName = dialog.newName().toStdString();
    if (!hasFile) {
        // Nothing to copy yet: the catalog gets its folder as a new catalog does.
        if (!isPlainName(dialog.newName())) {
            CUserInterface::current().message(kSaveAsFailed, MessageIcon::Warning);
            return false;
        }
        if (const auto failure = CCatalogFolder(catalog()).setLocation(folder, newName)) {
            CUserInterface::current().message(failure->userMessage(), MessageIcon::Error);
            catalog().setPath(oldPath);
            return false;
        }
    } else if (!isPlainName(dialog.newName()) || CCatalogFolder(catalog()).copy(folder, newName)) {
        catalog().setPath(oldPath);
        CUserInterface::current().message(kSaveAsFailed, MessageIcon::Warning);
        return false;
    }
    const QString path = QString::fromStdString(catalog().path());
    m_document.setPathName(path);
    return m_document.onSaveDocument(path);
}

bool CFileCommands::renameCatalog() {
    if (m_document.isModified()) {
        if (!CUserInterface::current().askYesNo(kSaveToRename) || !m_document.doFileSave()) {
            return false;
        }
    }
    if (m_document.pathName().isEmpty()) {
        return false;
    }
    const QString name = QString::fromStdString(catalog().catalogName());
    CRenameDlg dialog(m_document.profile(), m_document.dialogParent());
    dialog.setCurrentName(name);
    dialog.setNewName(name);
    dialog.setFolder(QString::fromStdString(catalog().parentFolder()));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const QString oldPath = m_document.pathName();
    const std::string oldCatalogPath = catalog().path();
    const std::string newName = dialog.newName().toStdString();
    const std::optional<CCatalogFolderError> moved =
        isPlainName(dialog.newName()) ? CCatalogFolder(catalog()).move(dialog.folder().toStdString(), newName)
                                      : CCatalogFolderError(CatalogFolderErrorKind::Rename, oldCatalogPath);
    if (moved && !moved->failed()) {
        CUserInterface::current().message(moved->userMessage(), MessageIcon::Warning);
    }
    if (moved && moved->failed()) {
        catalog().setPath(oldCatalogPath);
        CUserInterface::current().message(kFolderRenameFailed, MessageIcon::Warning);
        return false;
    }
    const bool fileRenamed = !CCatalogFolder(catalog()).renameFile(newName);
    // The folder has moved: the document follows its file, whether or not the file took the new name.
    const QString path = QString::fromStdString(catalog().path());
    m_document.followMovedFile(path);
    Q_EMIT m_document.recentFileRemoved(oldPath);
    m_document.setPathName(path);
    if (!fileRenamed) {
        CUserInterface::current().message(kFileRenameFailed, MessageIcon::Warning);
        return false;
    }
    return m_document.onSaveDocument(path);
}
