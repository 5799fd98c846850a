#include "grid/CUGArrowType.h"

#include <QApplication>
#include <QStyle>
#include <QStyleOptionViewItem>

void CUGArrowType::paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const {
    QStyle* style = widget ? widget->style() : QApplication::style();
    const int side = option.rect.height();
    QStyleOptionViewItem text = option;
    text.rect.setLeft(option.rect.left() + side);
    QStyleOptionViewItem background = option;
    background.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, widget);
    QStyleOption arrow = option;
    arrow.rect = QRect(option.rect.left(), option.rect.top(), side, side).adjusted(3, 3, -3, -3);
    style->drawPrimitive(QStyle::PE_IndicatorArrowRight, &arrow, painter, widget);
}

int CUGArrowType::extraWidth(const QWidget* widget) const {
    return widget ? widget->fontMetrics().height() : 16;
}
