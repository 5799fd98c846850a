#include "views/CListCtrlBox.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
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

int CListCtrlBox::widthToShow(int textWidth) const {
    const QStyle* style = this->style();
    // The style draws a row's text inside a margin of the focus frame plus one pixel on each side, and a
    // heading's inside the header margin; two pixels more keep the last character clear of the edge.
    const int rowMargin = 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2;
    const int headingMargin = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header()) + 4;
    const QString heading = model() ? model()->headerData(0, Qt::Horizontal).toString() : QString();
    const int headingWidth = QFontMetrics(header()->font()).horizontalAdvance(heading) + headingMargin;
    // The vertical scroll bar takes its width from the rows when they do not all fit.
    const int rows = model() ? model()->rowCount() : 0;
    const int rowsHeight = rows > 0 ? rows * sizeHintForRow(0) : 0;
    const bool scrolls = header()->sizeHint().height() + rowsHeight + 2 * frameWidth() > height();
    const int bar = scrolls ? style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, verticalScrollBar()) : 0;
    return std::max(textWidth + rowMargin, headingWidth) + 2 * frameWidth() + bar;
}
