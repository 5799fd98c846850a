#pragma once

#include <QPointer>
#include <QTableView>

#include <memory>
#include <vector>

#include "grid/CUGCell.h"
#include "grid/CUGCellType.h"
#include "grid/CUGMenu.h"

class CUGArrowType;
class CUGCheckBoxType;
class CUGDataSource;
class CUGDelegate;
class CUGDropListType;
class CUGEdit;
class CUGHeading;
class CUGLockedView;
class CUGModel;
class QMenu;

// A general grid: a table view over a model that asks a data source (CUGDataSource) for each cell when it
// is drawn, so that very large grids keep nothing per cell. A derived grid sets its data source and the
// numbers of columns and rows, and overrides the notifications (the on... functions) it cares about.
// Rows and columns are 0-based; row -1 is the column heading row and column -1 the row heading column.
// All rows have one height.
//
// Notifications, in the order a user's actions bring them: onSetup (from createGrid); onColSized (the
// user resized a column); onRowChange (the current row changed); onLClicked (left button down, then up);
// onDClicked; onTH_DClicked (column heading double-clicked); onSH_LClicked (row heading pressed, released);
// onKeyDown, then onCharDown for a typed character; onCellTypeNotify (drop-down choice, check box);
// onEditStart (may refuse), onEditFinish (may reject), onEditContinue (chooses the next cell);
// onMenuStart (may suppress the menu), onMenuCommand; onSortCompare (during sortBy); onGetDefBackColor.
class CUGCtrl : public QTableView {
    Q_OBJECT
public:
    // Where a popup menu was asked for.
    enum class Area { Cells, TopHeading, SideHeading, Other };
    // The descending bit of onSortCompare's flags.
    static constexpr int kSortDescending = 1;

    explicit CUGCtrl(QWidget* parent = nullptr);
    ~CUGCtrl() override;

    // Places the grid in its parent and runs onSetup.
    void createGrid(const QRect& rect, QWidget* parent, int id);
    int gridId() const { return m_id; }
    void setDefFont(const QFont& font);
    void setDefRowHeight(int height);
    // The accessible name of the table and its headings' role names, for screen readers.
    void setAccessibleGridName(const QString& name);

    void setDataSource(const CUGDataSource* source);
    // Setting either number starts the rows anew (one model reset): cells set through this class are
    // dropped, column widths are kept, and the current cell stays, clamped to the new size.
    void setNumberCols(int cols);
    void setNumberRows(int rows);
    int numberCols() const;
    int numberRows() const;

    int currentCol() const;
    int currentRow() const;
    // Makes a cell current, selects it alone and scrolls it into view.
    void gotoCell(int col, int row);

    void quickSetText(int col, int row, const QString& text);
    QString quickGetText(int col, int row) const;
    void quickSetBackColor(int col, int row, const QColor& colour);
    CUGCell getCell(int col, int row) const;
    void setCell(int col, int row, const CUGCell& cell);

    void setColWidth(int col, int width);
    int colWidth(int col) const;
    // Fits columns first..last to their widest text, looking at the first rowsToLook rows and the heading;
    // each distinct text is measured once.
    void fitColumns(int firstCol, int lastCol, int rowsToLook);
    // Keeps the first n columns in place when the grid scrolls sideways.
    void lockColumns(int count);
    int lockedColumns() const { return m_locked; }

    // Opens the in-place edit in the current cell, replacing its text by firstChar when one is given.
    // Answers false when the cell cannot be edited or onEditStart refused.
    bool startEdit(QChar firstChar = QChar());
    bool isEditOpen() const;
    CUGEdit* editWindow() const;
    // Called by the edit box: finishes the edit (cancelled or not); when it is accepted and goes on, the
    // next cell is the current one moved by (colStep, rowStep), as onEditContinue decides. Answers false
    // when onEditFinish rejected the text; the edit then stays open.
    bool finishEdit(bool cancelled, int colStep, int rowStep, bool goOn);

    void selectRange(int startCol, int startRow, int endCol, int endRow);
    // Extends the current block, from its first corner, to a cell.
    void extendBlock(int col, int row);
    void clearSelections();
    bool isSelected(int col, int row) const;

    void redrawAll();
    void redrawRow(int row);
    void redrawCell(int col, int row);
    // Suspends painting; resuming repaints everything. Calls nest.
    void enableUpdate(bool enable);

    void emptyMenu();
    // Appends a menu entry, or a separator when the text is empty or the id is -1.
    void addMenuItem(int id, const QString& text);
    // The popup menu last shown, while it is open.
    QMenu* popupMenu() const;

    // Setup settings.
    void setMultiSelectMode(bool multiple) { setSelectionMode(multiple ? ExtendedSelection : SingleSelection); }
    void setHighlightRow(bool wholeRow) { setSelectionBehavior(wholeRow ? SelectRows : SelectItems); }
    void setSideHeadingWidth(int width);
    void setTopHeadingHeight(int height);
    void setSmoothScrolling(bool smooth) {
        setVerticalScrollMode(smooth ? ScrollPerPixel : ScrollPerItem);
        setHorizontalScrollMode(smooth ? ScrollPerPixel : ScrollPerItem);
    }

    // Sorts the rows by a column through onSortCompare; the data source keeps its own row numbers, which
    // dataRow() gives for a shown row. Setting the number of rows ends the order.
    void sortBy(int col, int flags);
    int dataRow(int row) const;

    // For the cell types and the delegate.
    CUGModel& gridModel() const { return *m_model; }
    CUGCellType& cellTypeObject(CUGCellKind kind) const;
    CUGDropListType& dropListType() const { return *m_dropList; }
    QRect cellRect(int col, int row) const;
    void toggleCheck(int col, int row);
    void dropListChosen(int col, int row, const QString& text);
    QColor defaultBackColor() const { return onGetDefBackColor(); }

protected:
    virtual void onSetup() {}
    virtual void onColSized(int /*col*/, int /*width*/) {}
    virtual void onRowChange(int /*oldRow*/, int /*newRow*/) {}
    virtual void onLClicked(int /*col*/, int /*row*/, bool /*down*/) {}
    virtual void onDClicked(int /*col*/, int /*row*/) {}
    virtual void onTH_DClicked(int /*col*/) {}
    // By default a press makes the row current; with Shift (and not Ctrl) it extends the block to the
    // row's last column, otherwise it selects the row, clearing the other selections unless Ctrl is held.
    virtual void onSH_LClicked(int row, bool down);
    // By default Enter and F2 open the edit when no one handled the key.
    virtual void onKeyDown(int key, bool processed);
    // By default a printable character opens the edit with it when no one handled it.
    virtual void onCharDown(QChar character, bool processed);
    // A drop-down choice is taken into the cell only when this answers true.
    virtual bool onCellTypeNotify(CUGCellKind /*type*/, int /*col*/, int /*row*/, CUGCellEvent /*event*/,
                                  const QVariant& /*param*/) {
        return true;
    }
    virtual bool onEditStart(int /*col*/, int /*row*/) { return true; }
    // Answering false keeps the edit open. An accepted text that is not cancelled is shown in the cell.
    virtual bool onEditFinish(int /*col*/, int /*row*/, CUGEdit* /*edit*/, const QString& /*text*/,
                              bool /*cancelled*/) {
        return true;
    }
    // May change the next cell; answering false ends the edit in place.
    virtual bool onEditContinue(int /*oldCol*/, int /*oldRow*/, int* /*newCol*/, int* /*newRow*/) { return true; }
    virtual void onMenuCommand(int /*col*/, int /*row*/, Area /*area*/, int /*id*/) {}
    virtual bool onMenuStart(int /*col*/, int /*row*/, Area /*area*/) { return true; }
    // Negative, zero or positive as the first cell sorts before, with or after the second.
    virtual int onSortCompare(const CUGCell& first, const CUGCell& second, int flags);
    virtual QColor onGetDefBackColor() const { return QColor(0xFF, 0xFF, 0xFF); }

    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Text from an input method (a Japanese conversion) is typed text: it starts the edit as a typed
    // character does, and the composition goes on in the edit box.
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The side heading widens with the row count's digits and moves the cells: the locked overlay follows.
    void updateGeometries() override;
    // Scrolls as a table does, then back so far that the cell does not start under the locked columns.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

private:
    void resetShape(int cols, int rows);
    void showMenu(int col, int row, Area area, const QPoint& globalPos);
    void topHeadingResized(int col, int oldWidth, int newWidth);
    void fitOnHandle(int col);
    void updateLockedView();
    // Selects as a press with these modifiers does, then reports the press and passes it to the cell type.
    void cellPressed(const QModelIndex& index, Qt::KeyboardModifiers modifiers, const QRect& cellRect,
                     const QPoint& pos, bool moveCurrent);

    friend class CUGLockedView;

    CUGModel* m_model = nullptr;
    CUGDelegate* m_delegate = nullptr;
    CUGHeading* m_topHeading = nullptr;
    CUGHeading* m_sideHeading = nullptr;
    CUGLockedView* m_lockedView = nullptr;
    std::unique_ptr<CUGCellType> m_normalType;
    std::unique_ptr<CUGCheckBoxType> m_checkBoxType;
    std::unique_ptr<CUGDropListType> m_dropList;
    std::unique_ptr<CUGArrowType> m_arrowType;
    QPointer<CUGEdit> m_editor;
    CUGMenu m_menu;
    int m_id = 0;
    int m_locked = 0;
    int m_editCol = -1;
    int m_editRow = -1;
    int m_reportedRow = -1;
    int m_suspended = 0;
    int m_blockAnchorCol = -1;
    int m_blockAnchorRow = -1;
    bool m_finishing = false;
};
