#pragma once

#include <QRect>

class CUGCtrl;
class QKeyEvent;
class QPainter;
class QPoint;
class QStyleOptionViewItem;
class QWidget;

// What a cell type reports through CUGCtrl::onCellTypeNotify.
enum class CUGCellEvent {
    DropListSelect,  // a choice was made in a drop-down list; the parameter is its text
    CheckBoxSet      // a check box changed; the parameter is its new state
};

// The behaviour of one kind of cell: how it is drawn, and what a click or a key does to it. The grid holds
// one object per kind; this base class is the normal text cell.
class CUGCellType {
public:
    virtual ~CUGCellType() = default;

    // Draws the cell; the option is already filled from the model (text, alignment, colours, state).
    virtual void paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const;
    // Extra width the type draws beside the text, for fitting columns.
    virtual int extraWidth(const QWidget* widget) const;
    // A left press at a point of the cell; answers whether the type acted on it.
    virtual bool leftPressed(CUGCtrl& grid, int col, int row, const QRect& cellRect, const QPoint& pos);
    // A key pressed on the current cell; answers whether the type acted on it.
    virtual bool keyPressed(CUGCtrl& grid, int col, int row, const QKeyEvent& event);
    // Whether the in-place edit may open on such a cell.
    virtual bool canEdit() const { return true; }
};
