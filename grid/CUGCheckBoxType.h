#pragma once

#include "grid/CUGCellType.h"

// A check box centred in its cell, checked when the cell's text is "1". A click on the cell or Space on the
// current cell toggles it; the grid then reports CUGCellEvent::CheckBoxSet with the new state.
class CUGCheckBoxType final : public CUGCellType {
public:
    void paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const override;
    int extraWidth(const QWidget* widget) const override;
    bool leftPressed(CUGCtrl& grid, int col, int row, const QRect& cellRect, const QPoint& pos) override;
    bool keyPressed(CUGCtrl& grid, int col, int row, const QKeyEvent& event) override;
    bool canEdit() const override { return false; }
};
