#include "commands/CItemCommands.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>

#include "catalog/CFileCatalog.h"
#include "catalog/CQuilloryUndo.h"
#include "commands/CAddItemCommands.h"
#include "dialogs/CAddTagDlg.h"
#include "dialogs/CFileItemDlg.h"
#include "dialogs/CFileItemMultiDlg.h"
#include "dialogs/CFolderCheckDlg.h"
#include "dialogs/CInputDlg.h"
#include "gui/CPageCapture.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "platform/CInternetShortcut.h"
#include "platform/CUserInterface.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

// A favourite is a small text file; anything larger is not one.
constexpr qint64 kMaxFavouriteBytes = 1 << 20;

bool isFolder(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

// Every file below the folder, in the order the file system lists them, descending into subfolders (not
// into linked ones, so that a link loop cannot run away); folders themselves are left out.
void appendFilesBelow(const std::string& folder, std::vector<std::string>& out) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::recursive_directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::error_code typeError;
        if (!entry->is_directory(typeError)) {
            out.push_back(entry->path().native());
        }
    }
}

QString nativePathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

CItemCommands::CItemCommands(CQuilloryDoc& document, CFileListView& view) : m_document(document), m_view(view) {
    m_clipboardWatch = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &m_view,
                                        [this] { readClipboardKinds(); });
    readClipboardKinds();
}

void CItemCommands::readClipboardKinds() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    m_clipboardHasTag = data && data->hasFormat(QString::fromLatin1(kTagMimeType));
    m_clipboardHasText = data && data->hasText();
}

CItemCommands::~CItemCommands() {
    QObject::disconnect(m_clipboardWatch);
}

CFileCatalog& CItemCommands::catalog() const { return m_document.catalog(); }

bool CItemCommands::onCommand(int id) {
    switch (id) {
        case cmd::kEditItem:
            editItem();
            return true;
        case cmd::kChangeDisplayName:
            changeTitle();
            return true;
        case cmd::kRemoveItem:
            unregisterTargets();
            return true;
        case cmd::kCopyItemNames:
            copyTargetTexts(false);
            return true;
        case cmd::kCopyFullPaths:
            copyTargetTexts(true);
            return true;
        case cmd::kMultiItemAttributes:
            editTargetAttributes();
            return true;
        case cmd::kAddValue:
            addValue();
            return true;
        case cmd::kCopyAttribute:
            copyAttribute();
            return true;
        case cmd::kPasteAttribute:
            pasteAttribute();
            return true;
        case cmd::kAddFromBrowser:
            addFromBrowser();
            return true;
        case cmd::kAddFromFavourites:
            addFromFavourites();
            return true;
        default:
            return false;
    }
}

bool CItemCommands::onUpdateCommand(int id, CCommandState& state) {
    switch (id) {
        case cmd::kEditItem:
        case cmd::kChangeDisplayName:
        case cmd::kRemoveItem:
        case cmd::kCopyItemNames:
        case cmd::kCopyFullPaths:
        case cmd::kMultiItemAttributes:
        case cmd::kAddValue:
            state.enabled = m_view.currentItem() != nullptr;
            return true;
        case cmd::kPasteAttribute:
            // A tag names its category; plain text goes into the current column's category.
            state.enabled = m_view.currentItem() != nullptr &&
                            (m_clipboardHasTag || (m_clipboardHasText && currentColumnCategory() >= 0));
            return true;
        case cmd::kCopyAttribute:
            state.enabled = m_view.currentItem() != nullptr && currentColumnCategory() >= 0;
            return true;
        case cmd::kAddFromBrowser:
        case cmd::kAddFromFavourites:
            state.enabled = true;
            return true;
        default:
            return false;
    }
}

int CItemCommands::currentColumnCategory() const {
    const int category = m_view.grid().source().categoryAt(m_view.grid().currentCol());
    return category < catalog().categoryCount() ? category : -1;
}

// ---- one item ----

void CItemCommands::editItem() {
    CFileItem* item = m_view.currentItem();
    if (item) {
        // The dialog changes the item itself: the undo point is the catalog as it was before it opened.
        auto before = std::make_unique<CQuilloryUndo>(catalog());
        CFileItemDlg dialog(catalog(), *item, m_document.browserCapture(), m_document.dialogParent());
        if (dialog.exec() == QDialog::Accepted) {
            m_document.undoHistory().record(std::move(before));
            m_document.finishChange(hint::kItemAdded);
            m_view.setCurrentItem(item);
        }
    }
    m_view.grid().setFocus();
}

void CItemCommands::changeTitle() {
    CFileItem* item = m_view.currentItem();
    if (!item) {
        return;
    }
    const std::optional<QString> title =
        CInputDlg::ask(m_document.dialogParent(), QString::fromUtf8(CFileItemDlg::kTitlePrompt),
                       QString::fromStdString(std::string(item->title())));
    if (!title) {
        return;
    }
    m_document.recordUndoPoint();
    item->setTitle(title->toStdString());
    m_document.finishChange(hint::kSortOrFilterChanged);
    m_view.setCurrentItem(item);
}

void CItemCommands::unregisterTargets() {
    std::vector<int> rows;
    const int checked = m_view.grid().checkedRows(rows);
    const std::vector<CFileItem*> targets = m_view.targets();
    if (targets.empty()) {
        return;
    }
    const QString question = checked > 0
                                 ? QStringLiteral("チェックしている%1個のアイテムを登録解除しますか？").arg(checked)
                                 : QStringLiteral("現在のアイテムを登録解除しますか？");
    if (!CUserInterface::current().askYesNo(question.toStdString())) {
        return;
    }
    const int currentRow = m_view.grid().currentRow();
    m_document.recordUndoPoint();
    for (auto target = targets.rbegin(); target != targets.rend(); ++target) {
        catalog().removeItem(*target);  // the returned item is destroyed here
    }
    m_document.finishChange(hint::kItemAdded);
    // The row that was current stays current, clamped to the new last row.
    MyCug& grid = m_view.grid();
    if (grid.numberRows() > 0) {
        grid.gotoCell(std::max(0, grid.currentCol()), std::clamp(currentRow, 0, grid.numberRows() - 1));
    }
    Q_EMIT m_view.showCurrentItemRequested();
    m_view.setFocus();
}

void CItemCommands::copyTargetTexts(bool paths) {
    QString text;
    for (const CFileItem* item : m_view.targets()) {
        text += paths ? nativePathText(std::string(item->path()))
                      : QString::fromStdString(std::string(item->displayName()));
        text += QStringLiteral("\r\n");
    }
    if (!text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

// ---- attributes ----

void CItemCommands::editTargetAttributes() {
    const std::vector<CFileItem*> targets = m_view.targets();
    if (targets.empty()) {
        return;
    }
    auto before = std::make_unique<CQuilloryUndo>(catalog());
    CFileItemMultiDlg dialog(catalog(), targets, m_document.dialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_document.undoHistory().record(std::move(before));
    m_document.finishChange(hint::kValuesRenamed);
    m_view.grid().redrawAll();
}

void CItemCommands::addValue() {
    const std::vector<CFileItem*> targets = m_view.targets();
    if (targets.empty() || catalog().categoryCount() == 0) {
        return;
    }
    CAddTagDlg dialog(catalog(), std::max(0, currentColumnCategory()), m_document.dialogParent());
    if (dialog.exec() != QDialog::Accepted || dialog.value().isEmpty() || dialog.categoryIndex() < 0) {
        return;
    }
    m_document.recordUndoPoint();
    const std::string value = dialog.value().toStdString();
    for (CFileItem* item : targets) {
        item->addValue(dialog.categoryIndex(), value);
    }
    m_document.finishChange(hint::kValuesRenamed);
}

void CItemCommands::copyAttribute() {
    const CFileItem* item = m_view.currentItem();
    const int category = currentColumnCategory();
    if (!item || category < 0) {
        return;
    }
    QByteArray bytes = QByteArray::number(category);
    bytes += '\x01';
    bytes += QByteArray::fromStdString(std::string(item->valueString(category)));
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kTagMimeType), bytes);
    // The value string as text too, so that it pastes into other programs.
    data->setText(QString::fromStdString(std::string(item->valueString(category))));
    QGuiApplication::clipboard()->setMimeData(data);
}

void CItemCommands::pasteAttribute() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) {
        return;
    }
    int category = -1;
    std::string value;
    if (data->hasFormat(QString::fromLatin1(kTagMimeType))) {
        const QByteArray bytes = data->data(QString::fromLatin1(kTagMimeType));
        const qsizetype separator = bytes.indexOf('\x01');
        if (separator < 0) {
            return;
        }
        bool isNumber = false;
        category = bytes.left(separator).toInt(&isNumber);
        if (!isNumber) {
            return;
        }
        value = bytes.mid(separator + 1).toStdString();
    } else if (data->hasText()) {
        category = currentColumnCategory();
        value = data->text().toStdString();
    }
    const std::vector<CFileItem*> targets = m_view.targets();
    // A tag of a category this catalog does not have is ignored.
    if (category < 0 || category >= catalog().categoryCount() || targets.empty()) {
        return;
    }
    m_document.recordUndoPoint();
    for (CFileItem* item : targets) {
        item->setValueString(category, value);
    }
    m_document.finishChange(hint::kValuesRenamed);
    m_view.grid().setAllChecked(false);
}

// ---- additions ----

void CItemCommands::addDroppedUrl(const std::string& url) {
    std::unique_ptr<CFileItem> item = catalog().newItem(true);
    item->setPath(url, catalog().catalogFolder(), catalog().useShortcuts());
    // The browser that shows the dropped page knows its title; any other answer leaves the title to the
    // item dialog's question.
    std::string capturedUrl;
    std::string capturedTitle;
    if (!CPageCapture::take(m_document.browserCapture(), capturedUrl, capturedTitle,
                            CPageCapture::Report::Nothing)) {
        item->setTitle(url);
    } else if (capturedUrl == url) {
        item->setTitle(capturedTitle);
    }
    CAddItemCommands::addThroughItemDialog(m_document, std::move(item));
    m_view.grid().setFocus();
}

void CItemCommands::addFromBrowser() {
    std::string url;
    std::string title;
    if (!CPageCapture::take(m_document.browserCapture(), url, title, CPageCapture::Report::Failure)) {
        return;
    }
    std::unique_ptr<CFileItem> item = catalog().newItem(true);
    item->setPath(url, catalog().catalogFolder(), catalog().useShortcuts());
    item->setTitle(title);
    CAddItemCommands::addThroughItemDialog(m_document, std::move(item));
}

std::vector<CFileItem*> CItemCommands::appendFileItems(const std::vector<std::string>& paths) {
    std::vector<CFileItem*> added;
    for (const std::string& path : paths) {
        std::unique_ptr<CFileItem> item = catalog().newItem(false);
        item->setPath(path, catalog().catalogFolder(), catalog().useShortcuts());
        added.push_back(catalog().addItem(std::move(item)));
    }
    return added;
}

void CItemCommands::addDroppedFiles(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    std::vector<std::string> registered = paths;
    if (std::any_of(paths.begin(), paths.end(), isFolder)) {
        QWidget* window = m_view.window();
        window->raise();
        window->activateWindow();
        CFolderCheckDlg question(m_document.dialogParent());
        if (question.exec() == QDialog::Accepted) {
            registered.clear();
            for (const std::string& path : paths) {
                if (isFolder(path)) {
                    appendFilesBelow(path, registered);
                } else {
                    registered.push_back(path);
                }
            }
        }
    }
    if (registered.empty()) {
        return;  // only empty folders: nothing to register, no undo point
    }
    m_document.recordUndoPoint();
    const std::vector<CFileItem*> added = appendFileItems(registered);
    CFileItemMultiDlg dialog(catalog(), added, m_document.dialogParent());
    dialog.setPrompt(QString::fromUtf8(kDropPrompt));
    dialog.exec();  // cancelled, the items stay without values
    m_document.finishChange(hint::kValuesRenamed);
}

QStringList CItemCommands::chooseFavourites() const {
    QFileDialog dialog(m_document.dialogParent(), QStringLiteral("お気に入り"), QDir::homePath());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QStringLiteral("url"));
    dialog.setNameFilters({QStringLiteral("URLﾌｧｲﾙ(*.url *.desktop)"),
                           QStringLiteral("全てのﾌｧｲﾙ(*)")});
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

void CItemCommands::addFromFavourites() {
    const QStringList files = m_favouritesChooser ? m_favouritesChooser() : chooseFavourites();
    std::vector<std::unique_ptr<CFileItem>> items;
    for (const QString& file : files) {
        QFile shortcut(file);
        if (!shortcut.open(QIODevice::ReadOnly) || shortcut.size() > kMaxFavouriteBytes) {
            continue;
        }
        const std::optional<std::string> url = CInternetShortcut::urlOf(shortcut.readAll().toStdString());
        if (!url) {
            continue;  // not a favourite: skipped
        }
        std::unique_ptr<CFileItem> item = catalog().newItem(true);
        item->setPath(*url, catalog().catalogFolder(), catalog().useShortcuts());
        item->setTitle(QFileInfo(file).completeBaseName().toStdString());
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        return;
    }
    m_document.recordUndoPoint();
    std::vector<CFileItem*> added;
    for (std::unique_ptr<CFileItem>& item : items) {
        added.push_back(catalog().addItem(std::move(item)));
    }
    CFileItemMultiDlg dialog(catalog(), added, m_document.dialogParent());
    dialog.exec();
    m_document.finishChange(hint::kValuesRenamed);
}
