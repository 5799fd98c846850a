#pragma once

#include <QObject>
#include <QPointer>

#include "grid/CUGCellType.h"

class QListWidget;
class QListWidgetItem;

// A text cell with a drop-down button at its right. A click on the button, F4 or Alt+Down opens a list of
// the cell's choices (its label text, each choice followed by "\n") below the cell; choosing one (click,
// or Enter) makes the grid report CUGCellEvent::DropListSelect with its text; Escape closes the list.
class CUGDropListType final : public QObject, public CUGCellType {
    Q_OBJECT
public:
    void paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const override;
    int extraWidth(const QWidget* widget) const override;
    bool leftPressed(CUGCtrl& grid, int col, int row, const QRect& cellRect, const QPoint& pos) override;
    bool keyPressed(CUGCtrl& grid, int col, int row, const QKeyEvent& event) override;

    // Opens the list of a cell's choices; nothing happens when the cell has none.
    void open(CUGCtrl& grid, int col, int row);
    // The open list, or null; for tests and assistive tools.
    QListWidget* list() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static QRect buttonRect(const QRect& cellRect);
    void choose(QListWidgetItem* item);

    QPointer<QListWidget> m_list;
    QPointer<CUGCtrl> m_grid;
    int m_col = -1;
    int m_row = -1;
};
