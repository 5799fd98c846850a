#include "views/CListCtrlBox.h"

#include <QHeaderView>
#include <algorithm>

CListCtrlBox::CListCtrlBox(bool multiSelection, QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelection ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the column is always as wide as the list
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::Box);
    // The one column is exactly as wide as the list: no horizontal scrolling for a column wider than it.
    header()->setMinimumSectionSize(1);
    header()->setSectionResizeMode(QHeaderView::Stretch);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
    // The context menu belongs to the pane that holds the list.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void CListCtrlBox::selectRow(int row) {
    if (!model() || row < 0 || row >= model()->rowCount()) {
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    scrollTo(index);
}

void CListCtrlBox::clearSelectedRows() {
    if (selectionModel()) {
        selectionModel()->clearSelection();
    }
}

std::vector<int> CListCtrlBox::selectedRows() const {
    std::vector<int> rows;
    if (!selectionModel()) {
        return rows;
    }
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int CListCtrlBox::topRow() const {
    const QModelIndex index = indexAt(QPoint(0, 0));
    return index.isValid() ? index.row() : 0;
}

void CListCtrlBox::scrollRowToTop(int row) {
    if (!model() || model()->rowCount() == 0) {
        return;
    }
    row = std::clamp(row, 0, model()->rowCount() - 1);
    scrollTo(model()->index(row, 0), QAbstractItemView::PositionAtTop);
}
