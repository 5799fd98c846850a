#pragma once

#include <QTableView>

class CUGCtrl;

// The locked columns of a grid: a second view over the same model, selection and delegate, laid over the
// grid's first columns and scrolled only vertically with it. Its clicks and menus go to the grid's
// notifications as the grid's own do. It is hidden from assistive technology: the grid's own table holds
// the same cells, so a screen reader meets each cell once, in the grid.
class CUGLockedView final : public QTableView {
    Q_OBJECT
public:
    explicit CUGLockedView(CUGCtrl& grid);

    // Shows the first `locked` columns with the grid's widths and row height over the grid's cells, or
    // hides the view when none is locked.
    void sync(int locked);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The table's versions tell assistive technology of the overlay's current and selected cells; the grid
    // tells it of the same cells already.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    CUGCtrl& m_grid;
};
