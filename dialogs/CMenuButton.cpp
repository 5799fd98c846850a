#include "dialogs/CMenuButton.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

CMenuButton::CMenuButton(QWidget* parent) : QPushButton(parent) {}

CMenuButton::CMenuButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

int CMenuButton::dropMenu(QMenu& menu) {
    setDown(true);
    QAction* chosen = menu.exec(mapToGlobal(rect().bottomLeft()));
    setDown(false);
    if (!chosen) {
        return 0;
    }
    bool ok = false;
    const int id = chosen->data().toInt(&ok);
    return ok ? id : 0;
}

QSize CMenuButton::sizeHint() const {
    QSize size = QPushButton::sizeHint();
    return size.expandedTo(QSize(size.height(), size.height()));
}

void CMenuButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The frame only: the triangle stands in the middle and the focus rectangle is drawn below.
    option.text.clear();
    option.icon = QIcon();
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    // Four vertical lines of falling length make the triangle, pointing right.
    const QColor colour =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    painter.setPen(colour);
    const QPoint centre = rect().center();
    const int left = centre.x() - 1;
    for (int i = 0; i < 4; ++i) {
        const int half = 3 - i;
        painter.drawLine(left + i, centre.y() - half, left + i, centre.y() + half);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
