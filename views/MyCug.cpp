#include "views/MyCug.h"

#include <QApplication>
#include <QHeaderView>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <optional>

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"
#include "grid/CUGEdit.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CQuilloryView.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "platform/CProfile.h"
#include "views/CItemTextWidth.h"

namespace {

constexpr const char* kSystemSection = "System";

// The item list's popup menu ("ファイルリスト"): the commands on items, with separators (id 0).
struct MenuEntry {
    int id;
    const char* text;
};
constexpr MenuEntry kItemMenu[] = {
    {cmd::kEditItem, "アイテムの編集(&H)..."},
    {cmd::kChangeDisplayName, "表示名変更(&V)..."},
    {cmd::kRemoveItem, "アイテムの登録解除(&D)..."},
    {cmd::kDeleteItemsWithFiles, "選択アイテムをファイルごと削除(&D)..."},
    {0, ""},
    {cmd::kOpenFile, "ファイルを開く(&O)"},
    {cmd::kShowFileFolder, "ファイルがあるフォルダ表示(&R)"},
    {cmd::kFileProperties, "ファイルのプロパティ表示(&P)"},
    {0, ""},
    {cmd::kCopyFiles, "ファイルのコピー(&C)"},
    {cmd::kCutFiles, "ファイルの切り取り(&T)"},
    {cmd::kCopyItemNames, "アイテム名のコピー(&N)"},
    {cmd::kCopyFullPaths, "ファイルのフルパスのコピー(&F)"},
    {cmd::kCopyFilesToFolder, "選択アイテムのファイルコピー(&C)..."},
    {cmd::kRenameItemFile, "選択アイテムのファイル名変更(&M)..."},
    {0, ""},
    {cmd::kMultiItemAttributes, "複数アイテムの属性設定(&M)..."},
    {cmd::kAddValue, "属性の追加(&Q)..."},
    {cmd::kCopyAttribute, "属性のコピー(&C)"},
    {cmd::kPasteAttribute, "属性の貼り付け(&P)"},
    {0, ""},
    {cmd::kItemSearch, "アイテム検索(&F)..."},
    {cmd::kItemSearchNext, "次を検索(&N)"},
    {cmd::kItemSearchPrevious, "前を検索(&P)"},
    {0, ""},
    {cmd::kEditSelectAll, "全て選択(&L)"},
    {cmd::kDeselectAll, "全て選択解除(&K)"},
};

QString attrWidthKey(int i) {
    return QStringLiteral("attrwidth%1").arg(i);
}

// The index of a fixed column's width in the stored widths: name 0, date 1, size 2.
int infoWidthIndex(ItemColumn kind) {
    switch (kind) {
        case ItemColumn::Name:
            return 0;
        case ItemColumn::Date:
            return 1;
        case ItemColumn::Size:
            return 2;
        default:
            return -1;
    }
}

}  // namespace

MyCug::MyCug(CProfile& profile, QWidget* parent) : CUGCtrl(parent), m_profile(profile) {
    for (int i = 0; i < 3; ++i) {
        m_infoWidths[static_cast<std::size_t>(i)] =
            m_profile.readInt(kSystemSection, attrWidthKey(i).toStdString(), -1);
    }
    setDataSource(&m_source);
}

MyCug::~MyCug() {
    setDataSource(nullptr);
    for (int i = 0; i < 3; ++i) {
        m_profile.writeInt(kSystemSection, attrWidthKey(i).toStdString(), m_infoWidths[static_cast<std::size_t>(i)]);
    }
}

void MyCug::setDocument(CQuilloryDoc* document, CQuilloryView* listView) {
    m_document = document;
    m_listView = listView;
}

void MyCug::onSetup() {
    m_editing = false;
    m_moveDirection = MoveDirection::Down;
    setModes(m_profile.readInt(kSystemSection, "DropList", 1) != 0,
             m_profile.readInt(kSystemSection, "StrEdit", 1) != 0);
    m_hasSortKey = false;
    m_lastSortAscending = false;
    setMultiSelectMode(true);
    setHighlightRow(false);
    setSmoothScrolling(false);
    m_source.setHeadingColour(palette().color(QPalette::Button));
    setAccessibleGridName(QStringLiteral("アイテム一覧"));
}

void MyCug::setModes(bool dropList, bool typing) {
    m_dropListMode = dropList;
    m_typingMode = typing;
    m_source.setDropList(dropList);
    redrawAll();
}

void MyCug::rebuild(bool withWidths) {
    if (!m_document) {
        return;
    }
    CFileCatalog& catalog = m_document->catalog();
    enableUpdate(false);
    catalog.buildChoiceLists();
    m_source.rebuild(catalog);
    // The current cell stays, clamped to the new shape.
    setNumberCols(m_source.columnCount());
    setNumberRows(m_source.rowCount());
    if (currentRow() < 0 && numberRows() > 0) {
        // A grid with rows always has a current cell, from the first fill on.
        gotoCell(0, 0);
    }
    setSideHeadingWidth(fontMetrics().horizontalAdvance(QString::number(std::max(1, m_source.rowCount()))) + 12);
    lockColumns(1);
    if (withWidths) {
        applyWidths();
    } else {
        refitUnsizedColumns();
    }
    m_checkAnchor = std::min(m_checkAnchor, m_source.rowCount() - 1);
    enableUpdate(true);
    updateStatus();
}

void MyCug::applyWidths() {
    m_fittedItemCount = m_document->catalog().itemCount();
    if (!hasStoredWidth()) {
        fitItemColumns(0, numberCols() - 1);
        return;
    }
    fitItemColumns(0, m_source.firstCategoryColumn() - 1);
    for (int col = 1; col < numberCols(); ++col) {
        if (const int width = storedWidth(col); width != -1) {
            setColWidth(col, width);
        } else if (col >= m_source.firstCategoryColumn()) {
            fitItemColumns(col, col);
        }
    }
}

// The widths live in the settings (name, date, size) and in the categories themselves, so a catalog whose
// categories another program removed or reordered gives every column its own category's width.
int MyCug::storedWidth(int col) const {
    if (const int category = m_source.categoryAt(col); category >= 0) {
        return m_document->catalog().category(category).columnWidth();
    }
    const int index = col > 0 ? infoWidthIndex(m_source.columns().kindAt(col - 1)) : -1;
    return index >= 0 ? m_infoWidths[static_cast<std::size_t>(index)] : -1;
}

bool MyCug::hasStoredWidth() const {
    for (int col = 1; col < numberCols(); ++col) {
        if (storedWidth(col) != -1) {
            return true;
        }
    }
    return false;
}

// Columns that the user never sized fit the items once more when items came or went: a new catalog's
// columns were fitted to their headings alone, over no rows.
void MyCug::refitUnsizedColumns() {
    const int items = m_document->catalog().itemCount();
    if (items == m_fittedItemCount) {
        return;
    }
    m_fittedItemCount = items;
    for (int col = 1; col < numberCols(); ++col) {
        if (storedWidth(col) == -1) {
            fitItemColumns(col, col);
        }
    }
}

// Fits the columns over every row as the grid's own fitting does (the same margins), measuring the
// catalog's texts directly: 100,000 rows of 14 columns would otherwise cost a QString and a hash per cell.
void MyCug::fitItemColumns(int firstCol, int lastCol) {
    const int rows = numberRows();
    if (firstCol <= 0) {
        // The check boxes are all of one width.
        fitColumns(0, 0, std::min(rows, 1));
        firstCol = 1;
    }
    lastCol = std::min(lastCol, numberCols() - 1);
    if (firstCol > lastCol) {
        return;
    }
    // Row by row, so that each item is read from memory once for all its columns.
    CItemTextWidth texts(font());
    const CItemColumns& columns = m_source.columns();
    std::vector<int> widest(static_cast<std::size_t>(lastCol - firstCol + 1), 0);
    for (int row = 0; row < rows; ++row) {
        const CFileItem& item = *m_source.item(row);
        for (int col = firstCol; col <= lastCol; ++col) {
            int& width = widest[static_cast<std::size_t>(col - firstCol)];
            width = std::max(width, texts.width(CItemTexts::cell(item, columns, col - 1)));
        }
    }
    const QFontMetrics headingMetrics(horizontalHeader()->font());
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    const int headingMargin = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, horizontalHeader()) + 4;
    for (int col = firstCol; col <= lastCol; ++col) {
        const int extra = cellTypeObject(m_source.cellType(col, 0)).extraWidth(this) + margin;
        const int heading = headingMetrics.horizontalAdvance(m_source.cellText(col, -1)) + headingMargin;
        const int cells = rows > 0 ? widest[static_cast<std::size_t>(col - firstCol)] + extra : 0;
        setColWidth(col, std::max(heading, cells));
    }
}

int MyCug::checkedRows(std::vector<int>& rows) const {
    rows.clear();
    for (int row = 0; row < numberRows(); ++row) {
        if (const CFileItem* item = itemAt(row); item && item->checked()) {
            rows.push_back(row);
        }
    }
    if (!rows.empty()) {
        return static_cast<int>(rows.size());
    }
    if (currentRow() >= 0 && currentRow() < numberRows()) {
        rows.push_back(currentRow());
    }
    return 0;
}

void MyCug::setChecked(int row, bool checked) {
    CFileItem* item = itemAt(row);
    if (!item) {
        return;
    }
    const bool changed = (item->checked() != 0) != checked;
    item->setChecked(checked ? 1 : 0);
    quickSetText(0, row, checked ? QStringLiteral("1") : QStringLiteral("0"));
    if (changed) {
        redrawRow(row);
    }
}

void MyCug::setAllChecked(bool checked) {
    for (int row = 0; row < numberRows(); ++row) {
        if (CFileItem* item = itemAt(row)) {
            item->setChecked(checked ? 1 : 0);
        }
    }
    // The check cells read the items again: one reset drops the texts that clicks left in the cells.
    setNumberRows(numberRows());
    redrawAll();
}

void MyCug::onColSized(int col, int width) {
    if (col <= 0 || !m_document) {
        return;
    }
    if (const int category = m_source.categoryAt(col); category >= 0) {
        if (category < m_document->catalog().categoryCount()) {
            m_document->catalog().category(category).setColumnWidth(width);
        }
        return;
    }
    const int index = infoWidthIndex(m_source.columns().kindAt(col - 1));
    if (index >= 0) {
        m_infoWidths[static_cast<std::size_t>(index)] = width;
    }
}

void MyCug::onRowChange(int oldRow, int newRow) {
    if (oldRow == newRow) {
        return;
    }
    Q_EMIT currentItemChanged();
    updateStatus();
}

void MyCug::updateStatus() {
    const int row = currentRow();
    const CFileItem* item = itemAt(row);
    const QString path =
        item ? QString::fromUtf8(item->path().data(), static_cast<qsizetype>(item->path().size()))
             : QString();
    Q_EMIT statusChanged(path, QStringLiteral("%1/%2").arg(row + 1).arg(numberRows()));
}

void MyCug::onDClicked(int col, int row) {
    if (col < m_source.firstCategoryColumn()) {
        Q_EMIT commandRequested(cmd::kEditItem);
    } else if (row >= 0 && isCategoryColumn(col)) {
        gotoCell(col, row);
        startEdit();
    }
}

void MyCug::onTH_DClicked(int col) {
    // The check column has no sort key: a double click on its heading does nothing.
    const std::optional<int> key = m_source.columns().sortKeyAt(col - 1);
    if (!key || !m_document || col < 1) {
        return;
    }
    if (m_hasSortKey && *key == m_lastSortKey) {
        m_lastSortAscending = !m_lastSortAscending;
    } else {
        m_hasSortKey = true;
        m_lastSortKey = *key;
        m_lastSortAscending = true;
    }
    m_document->catalog().setPrimaryAndSort(m_lastSortKey, m_lastSortAscending);
    rebuild(false);
    m_document->updateAllViews(nullptr, hint::kCurrentItem);
}

void MyCug::onKeyDown(int key, bool processed) {
    if (!processed && m_typingMode && isCategoryColumn(currentCol()) &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
        startEdit();
    }
}

void MyCug::onCharDown(QChar character, bool processed) {
    if (character == u'\r' || character == u'\t' || !m_typingMode || processed) {
        return;
    }
    if (CUGEdit* edit = editWindow()) {
        edit->insert(QString(character));
        return;
    }
    if (isCategoryColumn(currentCol()) && character.isPrint()) {
        startEdit(character);
    }
}

bool MyCug::onCellTypeNotify(CUGCellKind type, int col, int row, CUGCellEvent event, const QVariant& param) {
    if (type == CUGCellKind::DropList && event == CUGCellEvent::DropListSelect) {
        storeValue(col, row, param.toString());
        return true;
    }
    if (type != CUGCellKind::CheckBox || event != CUGCellEvent::CheckBoxSet || col != 0) {
        return true;
    }
    const bool checked = param.toBool();
    const bool shift = (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
    if (checked && shift && m_checkAnchor >= 0 && m_checkAnchor < numberRows()) {
        for (int r = std::min(m_checkAnchor, row); r <= std::max(m_checkAnchor, row); ++r) {
            setChecked(r, true);
        }
    } else {
        setChecked(row, checked);
    }
    if (checked) {
        m_checkAnchor = row;
    }
    return true;
}

bool MyCug::onEditStart(int col, int /*row*/) {
    // Only values are edited in place; the item's own columns have their dialog.
    if (!isCategoryColumn(col)) {
        return false;
    }
    m_editing = true;
    return true;
}

bool MyCug::onEditFinish(int col, int row, CUGEdit* edit, const QString& text, bool cancelled) {
    m_editing = false;
    // The text counts as modified when it differs from the item's value string.
    if (!cancelled && edit && isCategoryColumn(col) && text != m_source.cellText(col, dataRow(row))) {
        storeValue(col, row, text);
    }
    if (m_refreshPending) {
        QTimer::singleShot(0, this, &MyCug::sendPendingRefresh);
    }
    return true;
}

bool MyCug::onEditContinue(int oldCol, int oldRow, int* newCol, int* newRow) {
    // Backward moves (Up, Shift+Tab) go where the key points; forward ones follow the move direction.
    if (*newRow < oldRow || *newCol < oldCol) {
        return true;
    }
    const int lastRow = numberRows() - 1;
    if (m_moveDirection == MoveDirection::Down) {
        if (oldRow >= lastRow) {
            return false;
        }
        *newCol = oldCol;
        *newRow = oldRow + 1;
        return true;
    }
    if (oldCol < numberCols() - 1) {
        *newCol = oldCol + 1;
        *newRow = oldRow;
        return true;
    }
    if (oldRow >= lastRow) {
        return false;
    }
    *newCol = m_source.firstCategoryColumn();
    *newRow = oldRow + 1;
    return true;
}

void MyCug::storeValue(int col, int row, const QString& text) {
    CFileItem* item = itemAt(row);
    const int category = m_source.categoryAt(col);
    if (!m_document || !item || category < 0 || category >= item->valueCount()) {
        return;
    }
    m_document->recordUndoPoint();
    item->setValueString(category, text.toStdString());
    m_document->catalog().recompute();
    m_document->setModifiedFlag(true);
    m_source.refreshChoices();
    m_document->updateAllViews(m_listView, hint::kValueLists);
    postListRefresh();
    redrawAll();
}

void MyCug::postListRefresh() {
    m_refreshPending = true;
    QTimer::singleShot(0, this, &MyCug::sendPendingRefresh);
}

// The rows are rebuilt once the edit has ended: an edit that goes on into the next cell keeps the rows the
// user sees until the last edit of the run closes.
void MyCug::sendPendingRefresh() {
    if (!m_refreshPending || isEditOpen() || !m_document) {
        return;
    }
    m_refreshPending = false;
    Q_EMIT commandRequested(cmd::kRefreshList);
}

void MyCug::fillItemMenu() {
    emptyMenu();
    for (const MenuEntry& entry : kItemMenu) {
        addMenuItem(entry.id == 0 ? -1 : entry.id, QString::fromUtf8(entry.text));
    }
    std::vector<int> rows;
    if (checkedRows(rows) > 1) {
        addMenuItem(-1, QString());
        addMenuItem(cmd::kMultiItemAttributes, QStringLiteral("複数アイテムのカテゴリ設定..."));
    }
}

bool MyCug::onMenuStart(int /*col*/, int /*row*/, Area area) {
    if (area == Area::Other) {
        return false;
    }
    fillItemMenu();
    return true;
}

void MyCug::onMenuCommand(int /*col*/, int /*row*/, Area /*area*/, int id) {
    Q_EMIT commandRequested(id);
}
