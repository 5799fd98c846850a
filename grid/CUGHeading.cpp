#include "grid/CUGHeading.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

CUGHeading::CUGHeading(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
    // The grid decides what a press on a heading selects; the header does not select by itself.
    setSectionsClickable(false);
    setHighlightSections(true);
}

void CUGHeading::mousePressEvent(QMouseEvent* event) {
    m_userPressed = event->button() == Qt::LeftButton;
    const int section = logicalIndexAt(event->position().toPoint());
    QHeaderView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && section >= 0) {
        Q_EMIT sectionPressedOrReleased(section, true);
    }
}

void CUGHeading::mouseReleaseEvent(QMouseEvent* event) {
    const int section = logicalIndexAt(event->position().toPoint());
    QHeaderView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_userPressed = false;
        if (section >= 0) {
            Q_EMIT sectionPressedOrReleased(section, false);
        }
    }
}

void CUGHeading::contextMenuEvent(QContextMenuEvent* event) {
    Q_EMIT menuRequested(logicalIndexAt(event->pos()), event->globalPos());
    event->accept();
}
