#include "grid/CUGCheckBoxType.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include "grid/CUGCtrl.h"

void CUGCheckBoxType::paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const {
    QStyle* style = widget ? widget->style() : QApplication::style();
    const Qt::CheckState state = option.checkState;
    // The background and selection first, without the text or the left-hand indicator of the base item.
    option.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    option.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);

    QStyleOptionViewItem box = option;
    const int width = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, widget);
    const int height = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, widget);
    box.rect = QRect(option.rect.center().x() - width / 2, option.rect.center().y() - height / 2, width, height);
    box.state = (option.state & QStyle::State_Enabled) | (state == Qt::Checked ? QStyle::State_On : QStyle::State_Off);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, widget);
}

int CUGCheckBoxType::extraWidth(const QWidget* widget) const {
    QStyle* style = widget ? widget->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget);
}

bool CUGCheckBoxType::leftPressed(CUGCtrl& grid, int col, int row, const QRect& /*cellRect*/,
                                  const QPoint& /*pos*/) {
    grid.toggleCheck(col, row);
    return true;
}

bool CUGCheckBoxType::keyPressed(CUGCtrl& grid, int col, int row, const QKeyEvent& event) {
    if (event.key() != Qt::Key_Space) {
        return false;
    }
    grid.toggleCheck(col, row);
    return true;
}
