#pragma once

#include <QColor>
#include <QString>
#include <Qt>

#include "grid/CUGCell.h"

// The row store behind a CUGCtrl: the grid asks it for a cell only when the cell is painted, measured or
// read, so a grid of 100,000 rows keeps nothing per cell. The derived grid implements it over its own data
// and hands itself to CUGCtrl::setDataSource. Rows and columns are 0-based; row -1 is the column heading
// row and column -1 the row heading column. Implementations answer from memory: they are called while
// painting, and must never block.
class CUGDataSource {
public:
    virtual ~CUGDataSource() = default;

    virtual QString cellText(int col, int row) const = 0;
    virtual CUGCellKind cellType(int /*col*/, int /*row*/) const { return CUGCellKind::Normal; }
    // A check box cell's state; by default read from its text.
    virtual bool cellChecked(int col, int row) const { return CUGCell::isCheckedText(cellText(col, row)); }
    // An invalid colour leaves the grid's default background.
    virtual QColor cellBackColor(int /*col*/, int /*row*/) const { return {}; }
    virtual Qt::Alignment cellAlignment(int /*col*/, int /*row*/) const { return Qt::AlignLeft | Qt::AlignVCenter; }
    // The choices of a drop-down list cell, each followed by "\n".
    virtual QString cellLabel(int /*col*/, int /*row*/) const { return {}; }
    virtual CUGDataType cellDataType(int /*col*/, int /*row*/) const { return CUGDataType::Text; }
};
