#include "commands/CShellCommands.h"

#include <QFile>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "catalog/CFileCatalog.h"
#include "desktop/CShellOperations.h"
#include "dialogs/CInputDlg.h"
#include "gui/AppUtil.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "platform/CUserInterface.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

constexpr const char* kNoCopyTarget = "コピー対象が選択されていません。\n注：URLはコピーできません";
constexpr const char* kNoCutTarget = "切り取り対象が選択されていません。\n注：URLは切り取りできません";
constexpr const char* kCopyDestinationTitle = "コピー先を選択してください";
constexpr const char* kRenamePrompt = "ファイル名を入力してください";
constexpr const char* kDeleteVerb = "ファイルごと削除";
constexpr const char* kBadName = "このファイル名は使えません。「/」を含む名前、空の名前、「.」「..」は使えません。\n";
constexpr const char* kNameTaken = "同じ名前のファイルが既にあります。ファイル名は変更していません。\n";
constexpr const char* kRenameFailed = "ファイル名を変更できませんでした。\n";
constexpr const char* kOpenFailed = "開くことができませんでした。\n";
constexpr const char* kNotCopied = "次のファイルはコピーできませんでした。\n";
constexpr const char* kNotTrashed =
    "次のファイルはごみ箱に移動できなかったため、そのアイテムは登録したままです。\n";

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// One line per failure: the path and, in parentheses, what went wrong.
std::string failureLines(const std::vector<CShellFailure>& failures) {
    std::string lines;
    for (const CShellFailure& failure : failures) {
        lines += "\n" + failure.path + "（" + failure.what + "）";
    }
    return lines;
}

void tell(const std::string& text, MessageIcon icon) {
    CUserInterface::current().message(text, icon);
}

// True when nothing is at the path any more: the file of an item that went away.
bool isGone(const std::string& path) {
    struct stat info{};
    return path.empty() || (lstat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR));
}

}  // namespace

CShellCommands::CShellCommands(CFileListView& view) : m_view(view) {
    m_pickFolder = [](QWidget* parent, const QString& title, const QString& start) {
        return apputil::pickFolder(parent, title, start);
    };
    m_view.addCommandFamily(this);
}

CShellCommands::~CShellCommands() {
    m_view.removeCommandFamily(this);
}

CQuilloryDoc& CShellCommands::document() const {
    return m_view.document();
}

std::string CShellCommands::filePath(const CFileItem& item) const {
    return item.isUrl() ? std::string() : item.resolve(document().catalog().catalogFolder());
}

std::vector<std::string> CShellCommands::targetFilePaths() const {
    std::vector<std::string> paths;
    for (const CFileItem* item : m_view.targets()) {
        if (!item->isUrl()) {
            paths.push_back(filePath(*item));
        }
    }
    return paths;
}

bool CShellCommands::onCommand(int id) {
    switch (id) {
        case cmd::kOpenFile:
            open();
            return true;
        case cmd::kShowFileFolder:
            callFileManager(false);
            return true;
        case cmd::kFileProperties:
            callFileManager(true);
            return true;
        case cmd::kCopyFiles:
            putOnClipboard(false);
            return true;
        case cmd::kCutFiles:
            putOnClipboard(true);
            return true;
        case cmd::kCopyFilesToFolder:
            copyToFolder();
            return true;
        case cmd::kRenameItemFile:
            renameFile();
            return true;
        case cmd::kDeleteItemsWithFiles:
            deleteWithFiles();
            return true;
        default:
            return false;
    }
}

bool CShellCommands::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kShowFileFolder:
        case cmd::kFileProperties:
        case cmd::kRenameItemFile: {
            const CFileItem* item = m_view.currentItem();
            state.enabled = item != nullptr && !item->isUrl();
            return true;
        }
        // Without a row there is nothing to act on: greyed rather than a command that says so.
        case cmd::kOpenFile:
        case cmd::kCopyFiles:
        case cmd::kCutFiles:
        case cmd::kCopyFilesToFolder:
        case cmd::kDeleteItemsWithFiles:
            state.enabled = m_view.currentItem() != nullptr;
            return true;
        default:
            return false;
    }
}

void CShellCommands::open() {
    const CFileItem* item = m_view.currentItem();
    if (!item) {
        return;
    }
    // A workbook shown in the preview's browser would have to be released first; the preview does not hold
    // documents, so every item opens at once.
    const std::string target = item->isUrl() ? std::string(item->path()) : filePath(*item);
    const auto failed = [target] { tell(kOpenFailed + target, MessageIcon::Warning); };
    const bool opened = item->kind() == ItemKind::Folder
                            ? CShellOperations::openFolder(target, document().profile())
                            : CShellOperations::openWithDesktop(target, failed);
    if (!opened) {
        failed();
    }
}

void CShellCommands::callFileManager(bool properties) {
    const CFileItem* item = m_view.currentItem();
    if (!item || item->isUrl()) {
        return;
    }
    CShellOperations::callFileManager(properties ? CShellOperations::FileManagerCall::ShowItemProperties
                                                 : CShellOperations::FileManagerCall::ShowItems,
                                      filePath(*item));
}

void CShellCommands::putOnClipboard(bool cut) {
    const std::vector<std::string> paths = targetFilePaths();
    if (paths.empty()) {
        tell(cut ? kNoCutTarget : kNoCopyTarget, MessageIcon::Warning);
        return;
    }
    CShellOperations::putFilesOnClipboard(paths, cut);
}

void CShellCommands::copyToFolder() {
    const CFileItem* item = m_view.currentItem();
    if (!item) {
        return;
    }
    const QString start = item->isUrl() ? QString() : QFile::decodeName(QByteArray::fromStdString(item->folder()));
    const std::optional<QString> chosen = m_pickFolder(&m_view, QString::fromUtf8(kCopyDestinationTitle), start);
    if (chosen) {
        const std::vector<std::string> paths = targetFilePaths();
        const std::vector<CShellFailure> failures =
            CShellOperations::copyIntoFolder(paths, QFile::encodeName(*chosen).toStdString(), nullptr);
        if (!failures.empty()) {
            tell(kNotCopied + failureLines(failures).substr(1), MessageIcon::Warning);
        }
    }
    m_view.setFocus(Qt::OtherFocusReason);
}

void CShellCommands::renameFile() {
    CFileItem* item = m_view.currentItem();
    if (!item || item->isUrl()) {
        return;
    }
    const std::string path = filePath(*item);
    const QString shownName = QFile::decodeName(QByteArray::fromStdString(nameOf(path)));
    const std::optional<QString> typed = CInputDlg::ask(&m_view, QString::fromUtf8(kRenamePrompt), shownName);
    // An untouched name stays as it is, even when its bytes have no exact text form.
    if (!typed || *typed == shownName) {
        return;
    }
    std::string newPath;
    std::string error;
    switch (CShellOperations::rename(path, QFile::encodeName(*typed).toStdString(), newPath, error)) {
        case CShellOperations::RenameResult::Unchanged:
            return;
        case CShellOperations::RenameResult::BadName:
            tell(kBadName + typed->toStdString(), MessageIcon::Warning);
            return;
        case CShellOperations::RenameResult::NameTaken:
            tell(kNameTaken + newPath, MessageIcon::Warning);
            return;
        case CShellOperations::RenameResult::Failed:
            tell(kRenameFailed + path + "（" + error + "）", MessageIcon::Warning);
            return;
        case CShellOperations::RenameResult::Renamed:
            break;
    }
    // The undo point is taken once the file is renamed, so a refused rename leaves no empty step behind;
    // the catalog is still as it was before.
    CFileCatalog& catalog = document().catalog();
    document().recordUndoPoint();
    item->setPath(newPath, catalog.catalogFolder(), catalog.useShortcuts());
    document().finishChange(hint::kSortOrFilterChanged);
    m_view.setCurrentItem(item);
}

void CShellCommands::deleteWithFiles() {
    std::vector<int> rows;
    const int checked = m_view.grid().checkedRows(rows);
    const std::vector<CFileItem*> items = m_view.targets();
    if (items.empty()) {
        return;
    }
    const std::string question =
        (checked > 0 ? "チェックしている" + std::to_string(checked) + "個のアイテムを" : std::string("現在のアイテムを")) +
        kDeleteVerb + "しますか？";
    if (!CUserInterface::current().askYesNo(question)) {
        return;
    }
    const int currentRow = m_view.currentItemIndex();

    // An item leaves the catalog only with its file in the Trash, or when its file is gone already; the
    // items whose files stay keep their rows.
    std::vector<CFileItem*> leaving;
    std::vector<CShellFailure> failures;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        CFileItem* item = *it;
        const std::string path = filePath(*item);
        if (item->isUrl() || isGone(path)) {
            leaving.push_back(item);
        } else if (std::vector<CShellFailure> failed = CShellOperations::moveToTrash({path}); failed.empty()) {
            leaving.push_back(item);
        } else {
            failures.insert(failures.begin(), failed.begin(), failed.end());
        }
    }
    if (!leaving.empty()) {
        CFileCatalog& catalog = document().catalog();
        document().recordUndoPoint();
        for (CFileItem* item : leaving) {
            catalog.removeItem(item);
        }
        document().finishChange(hint::kItemAdded);
    }

    MyCug& grid = m_view.grid();
    if (grid.numberRows() > 0 && currentRow >= 0) {
        grid.gotoCell(std::max(0, grid.currentCol()), std::min(currentRow, grid.numberRows() - 1));
    }
    Q_EMIT m_view.showCurrentItemRequested();
    m_view.setFocus(Qt::OtherFocusReason);
    if (!failures.empty()) {
        tell(kNotTrashed + failureLines(failures).substr(1), MessageIcon::Warning);
    }
}
