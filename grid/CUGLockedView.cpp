#include "grid/CUGLockedView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>

#include "grid/CUGCtrl.h"
#include "grid/CUGLockedAccessible.h"
#include "grid/CUGModel.h"

CUGLockedView::CUGLockedView(CUGCtrl& grid) : QTableView(&grid), m_grid(grid) {
    CUGLockedAccessible::install();
    setModel(&grid.gridModel());
    setSelectionModel(grid.selectionModel());
    setItemDelegate(grid.itemDelegate());
    setFocusPolicy(Qt::NoFocus);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    connect(grid.verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionDoubleClicked, this, [this](int col) { m_grid.onTH_DClicked(col); });
}

void CUGLockedView::sync(int locked) {
    if (locked <= 0) {
        hide();
        return;
    }
    setFont(m_grid.font());
    verticalHeader()->setDefaultSectionSize(m_grid.verticalHeader()->defaultSectionSize());
    int width = 0;
    const int cols = m_grid.gridModel().cols();
    for (int col = 0; col < cols; ++col) {
        setColumnHidden(col, col >= locked);
        if (col < locked) {
            setColumnWidth(col, m_grid.columnWidth(col));
            width += m_grid.columnWidth(col);
        }
    }
    horizontalHeader()->setFixedHeight(m_grid.horizontalHeader()->height());
    const int left = m_grid.frameWidth() + (m_grid.verticalHeader()->isVisible() ? m_grid.verticalHeader()->width() : 0);
    setGeometry(left, m_grid.frameWidth(), width + 1, m_grid.viewport()->height() + m_grid.horizontalHeader()->height());
    verticalScrollBar()->setValue(m_grid.verticalScrollBar()->value());
    show();
    raise();
}

void CUGLockedView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        return;
    }
    m_grid.setFocus(Qt::MouseFocusReason);
    m_grid.cellPressed(index, event->modifiers(), visualRect(index), pos, true);
}

void CUGLockedView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) {
        m_grid.onLClicked(index.column(), index.row(), false);
    }
}

void CUGLockedView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton) {
        m_grid.onDClicked(index.column(), index.row());
    }
}

void CUGLockedView::mouseMoveEvent(QMouseEvent* /*event*/) {
    // Dragging over the locked cells selects nothing: they hold check boxes and markers.
}

void CUGLockedView::contextMenuEvent(QContextMenuEvent* event) {
    const QModelIndex index = indexAt(event->pos());
    m_grid.showMenu(index.isValid() ? index.column() : -1, index.isValid() ? index.row() : -1,
                    index.isValid() ? CUGCtrl::Area::Cells : CUGCtrl::Area::Other, event->globalPos());
}

void CUGLockedView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
}

void CUGLockedView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
}
