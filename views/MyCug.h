#pragma once

#include <array>
#include <vector>

#include "grid/CUGCtrl.h"
#include "views/CItemGridSource.h"

class CFileItem;
class CProfile;
class CQuilloryDoc;
class CQuilloryView;

// The item grid: one row per displayed item of the catalog, a check-box column, the shown item columns
// and one column per category. The user checks rows to choose the targets of item commands, edits values
// in place (typing, or choosing from the category's values), sorts by double-clicking a heading and sizes
// the columns; the widths of the name, date and size columns live in the settings ("System",
// "attrwidth%d"), those of the categories in the catalog.
class MyCug final : public CUGCtrl {
    Q_OBJECT
public:
    // How an edit moves on after Enter: down the column, or right along the row.
    enum class MoveDirection { Right = 0, Down = 1 };

    MyCug(CProfile& profile, QWidget* parent);
    ~MyCug() override;

    // The document and its item list view; until they are set, rebuilds do nothing.
    void setDocument(CQuilloryDoc* document, CQuilloryView* listView);

    // Rebuilds the columns and rows from the catalog; with widths, the stored widths are applied (or the
    // columns fitted), otherwise the current widths stay.
    void rebuild(bool withWidths);

    const CItemGridSource& source() const { return m_source; }
    // The item of a row, or nullptr.
    CFileItem* itemAt(int row) const { return m_source.item(dataRow(row)); }
    int firstCategoryColumn() const { return m_source.firstCategoryColumn(); }

    // The checked rows in row order; with none, the list holds the current row when there is one and the
    // answer is 0. Answers the number of checked rows.
    int checkedRows(std::vector<int>& rows) const;
    // Sets a row's checked state; a change recolours and repaints the row.
    void setChecked(int row, bool checked);
    // Checks or unchecks every row.
    void setAllChecked(bool checked);

    MoveDirection moveDirection() const { return m_moveDirection; }
    void setMoveDirection(MoveDirection direction) { m_moveDirection = direction; }
    bool dropListMode() const { return m_dropListMode; }
    bool typingMode() const { return m_typingMode; }
    void setModes(bool dropList, bool typing);
    bool isEditing() const { return m_editing; }

    // The popup menu's entries: the item list's menu, plus the multi-item entry when more than one row is
    // checked. Also the item list view's own context menu.
    void fillItemMenu();

Q_SIGNALS:
    // The current row changed: the status bar texts (the item's path, "%d/%d") are new.
    void statusChanged(const QString& path, const QString& count);
    // The current item changed to another row.
    void currentItemChanged();
    // A command the grid sends to the main window, as a menu would.
    void commandRequested(int id);

protected:
    void onSetup() override;
    void onColSized(int col, int width) override;
    void onRowChange(int oldRow, int newRow) override;
    void onDClicked(int col, int row) override;
    void onTH_DClicked(int col) override;
    void onKeyDown(int key, bool processed) override;
    void onCharDown(QChar character, bool processed) override;
    bool onCellTypeNotify(CUGCellKind type, int col, int row, CUGCellEvent event, const QVariant& param) override;
    bool onEditStart(int col, int row) override;
    bool onEditFinish(int col, int row, CUGEdit* edit, const QString& text, bool cancelled) override;
    bool onEditContinue(int oldCol, int oldRow, int* newCol, int* newRow) override;
    void onMenuCommand(int col, int row, Area area, int id) override;
    bool onMenuStart(int col, int row, Area area) override;
    QColor onGetDefBackColor() const override { return CItemGridSource::kUncheckedColour; }

private:
    void applyWidths();
    // The stored width of a column, or -1 when the user never sized it.
    int storedWidth(int col) const;
    bool hasStoredWidth() const;
    void refitUnsizedColumns();
    void fitItemColumns(int firstCol, int lastCol);
    // Stores a value string of a row's item as one change: undo point, value, recompute, modified, hint 4
    // to the other views, then the list refresh once no edit is open.
    void storeValue(int col, int row, const QString& text);
    void postListRefresh();
    void sendPendingRefresh();
    void updateStatus();
    bool isCategoryColumn(int col) const { return m_source.categoryAt(col) >= 0; }

    CProfile& m_profile;
    CItemGridSource m_source;
    CQuilloryDoc* m_document = nullptr;
    CQuilloryView* m_listView = nullptr;
    // Widths of the name, date and size columns; -1 = not set.
    std::array<int, 3> m_infoWidths{-1, -1, -1};
    // The catalog's item count when the unsized columns were last fitted.
    int m_fittedItemCount = -1;
    int m_lastSortKey = -1;
    bool m_lastSortAscending = false;
    bool m_hasSortKey = false;
    int m_checkAnchor = -1;
    MoveDirection m_moveDirection = MoveDirection::Down;
    bool m_dropListMode = true;
    bool m_typingMode = true;
    bool m_editing = false;
    bool m_refreshPending = false;
};
