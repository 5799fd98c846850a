#pragma once

#include "grid/CUGCellType.h"

// A cell that shows a right-pointing arrow before its text, as a marker; it is not edited in place.
class CUGArrowType final : public CUGCellType {
public:
    void paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const override;
    int extraWidth(const QWidget* widget) const override;
    bool canEdit() const override { return false; }
};
