#include "commands/CCatalogCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "catalog/CCatalogFolder.h"
#include "dialogs/CCatalogSetDlg.h"
#include "dialogs/CExportFileDialog.h"
#include "dialogs/CNewFileDlg.h"
#include "export/CFileItemCSVExport.h"
#include "export/CFileItemHtmlExport.h"
#include "export/CFileItemXMLExport.h"
#include "gui/AppUtil.h"
#include "gui/CQtTextClipboard.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CWaitCursor.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CUserInterface.h"

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

CCatalogCommands::CCatalogCommands(CQuilloryDoc& document) : m_document(document) {
    m_document.addCommandFamily(this);
}

CCatalogCommands::~CCatalogCommands() { m_document.removeCommandFamily(this); }

CFileCatalog& CCatalogCommands::catalog() const { return m_document.catalog(); }

std::optional<int> CCatalogCommands::sortKeyOfCommand(int id) const {
    if (id >= cmd::kSortByName && id <= cmd::kSortByFolder) {
        return kFirstBuiltInSortKey - (id - cmd::kSortByName);
    }
    if (cmd::isSortByCategory(id) && id - cmd::kSortByCategoryFirst < catalog().categoryCount()) {
        return id - cmd::kSortByCategoryFirst;
    }
    return std::nullopt;
}

bool CCatalogCommands::onCommand(int id) {
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
            m_document.updateAllViews(nullptr, hint::kValueListsRefreshed);
            Q_EMIT m_document.statusNote(QStringLiteral("属性リストを更新しました"));
            return true;
        case cmd::kRefreshList:
            // The user asks for the files as they are now: read every item again, search lost targets again.
            catalog().forgetFileState();
            catalog().recompute();
            m_document.updateAllViews(nullptr, hint::kListRefresh);
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

bool CCatalogCommands::onUpdateCommand(int id, CCommandState& state) {
    if (const std::optional<int> key = sortKeyOfCommand(id)) {
        state.checked = catalog().sortKeys().primaryKey() == *key;
        return true;
    }
    switch (id) {
        case cmd::kShowNameColumn:
            state.checked = catalog().showName();
            return true;
        case cmd::kShowDateColumn:
            state.checked = catalog().showDate();
            return true;
        case cmd::kShowSizeColumn:
            state.checked = catalog().showSize();
            return true;
        case cmd::kSortAscending:
            state.checked = catalog().sortKeys().primaryAscending();
            return true;
        case cmd::kRunFilter:
            state.checked = catalog().filterOn();
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

void CCatalogCommands::toggleColumn(int id) {
    m_document.recordUndoPoint();
    switch (id) {
        case cmd::kShowNameColumn:
            catalog().setShowName(!catalog().showName());
            break;
        case cmd::kShowDateColumn:
            catalog().setShowDate(!catalog().showDate());
            break;
        default:
            catalog().setShowSize(!catalog().showSize());
            break;
    }
    m_document.setModifiedFlag(true);
    m_document.updateAllViews(nullptr, hint::kColumnToggled);
}

// The sort commands change the order only: no undo point, and the document stays as modified as it was.
void CCatalogCommands::makePrimarySortKey(int key) {
    catalog().setPrimaryAndSort(key, catalog().sortKeys().primaryAscending());
    m_document.updateAllViews(nullptr, hint::kSortOrFilterChanged);
}

void CCatalogCommands::toggleSortDirection() {
    const CSortArray& keys = catalog().sortKeys();
    catalog().setPrimaryAndSort(keys.primaryKey(), !keys.primaryAscending());
    m_document.updateAllViews(nullptr, hint::kListRefresh);
}

void CCatalogCommands::toggleFilter() {
    catalog().setFilterOn(!catalog().filterOn());
    catalog().recompute();
    m_document.updateAllViews(nullptr, hint::kSortOrFilterChanged);
}

void CCatalogCommands::deleteUnusedShortcuts() {
    CUserInterface& ui = CUserInterface::current();
    if (!ui.askYesNo("未使用のショートカットを削除しますか？")) {
        return;
    }
    int deleted = 0;
    {
        const CWaitCursor wait;
        deleted = CCatalogFolder(catalog()).deleteUnusedShortcuts();
    }
    ui.message(QStringLiteral("%1個のショートカットを削除しました").arg(deleted).toStdString(),
               MessageIcon::Information);
}

void CCatalogCommands::editCatalogSettings() {
    CCatalogSetDlg dialog(m_document.dialogParent());
    dialog.setUseShortcuts(catalog().useShortcuts());
    dialog.setRelativePaths(catalog().relativePaths());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    catalog().setUseShortcuts(dialog.useShortcuts());
    catalog().setRelativePaths(dialog.relativePaths());
    m_document.setModifiedFlag(true);
}

void CCatalogCommands::createNewFileItem() {
    CNewFileDlg dialog(m_document.profile(), m_document.dialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // The undo point comes first, so that it is there even when the file cannot be made.
    m_document.recordUndoPoint();
    const QString path = joinPath(dialog.folder(), dialog.fileName());
    if (!createNewFile(path)) {
        CUserInterface::current().message(kNewFileFailed, MessageIcon::Warning);
        return;
    }
    std::unique_ptr<CFileItem> item = catalog().newItem(true);
    item->setPath(QFileInfo(path).absoluteFilePath().toStdString(), catalog().catalogFolder(),
                  catalog().useShortcuts());
    const CFileItem* added = item.get();
    catalog().addItem(std::move(item));
    m_document.finishChange(hint::kItemAdded);
    m_document.requestCurrentItem(added);
}

void CCatalogCommands::exportToFile(ExportFormat format) {
    CExportFileDialog dialog(format, m_document.profile(), m_document.dialogParent());
    const std::optional<QString> path = m_exportFileChooser ? m_exportFileChooser(dialog) : dialog.run();
    if (!path) {
        return;
    }
    dialog.rememberFile(*path);
    const CWaitCursor wait;
    const std::string target = path->toStdString();
    if (format == ExportFormat::Xml) {
        CFileItemXMLExport(catalog()).exportToFile(target);
    } else {
        CFileItemCSVExport(catalog()).exportToFile(target);
    }
}

void CCatalogCommands::copyHtmlToClipboard() {
    const CWaitCursor wait;
    CQtTextClipboard clipboard;
    CFileItemHtmlExport(catalog()).copyToClipboard(clipboard);
}
