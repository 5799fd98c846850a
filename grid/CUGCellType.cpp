#include "grid/CUGCellType.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>

void CUGCellType::paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const {
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);
}

int CUGCellType::extraWidth(const QWidget* /*widget*/) const {
    return 0;
}

bool CUGCellType::leftPressed(CUGCtrl& /*grid*/, int /*col*/, int /*row*/, const QRect& /*cellRect*/,
                              const QPoint& /*pos*/) {
    return false;
}

bool CUGCellType::keyPressed(CUGCtrl& /*grid*/, int /*col*/, int /*row*/, const QKeyEvent& /*event*/) {
    return false;
}
