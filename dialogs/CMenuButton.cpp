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
    if (!text().isEmpty()) {
        size.rwidth() += kTriangleSpace;  // the triangle after the text
    }
    return size.expandedTo(QSize(size.height(), size.height()));
}

void CMenuButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    // A button with a text shows it, with the triangle after it; without one, the triangle stands alone in
    // the middle.
    int triangleLeft = rect().center().x() - 1;
    if (!option.text.isEmpty()) {
        option.rect = rect().adjusted(0, 0, -kTriangleSpace, 0);
        painter.drawControl(QStyle::CE_PushButtonLabel, option);
        triangleLeft = rect().right() - kTriangleSpace;
    }

    // Four vertical lines of falling length make the triangle, pointing right.
    const QColor colour =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText);
    painter.setPen(colour);
    const int middle = rect().center().y();
    for (int i = 0; i < 4; ++i) {
        const int half = 3 - i;
        painter.drawLine(triangleLeft + i, middle - half, triangleLeft + i, middle + half);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
