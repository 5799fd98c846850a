#include "grid/CUGEdit.h"

#include <QKeyEvent>

#include "grid/CUGCtrl.h"

CUGEdit::CUGEdit(QWidget* parent, CUGCtrl& grid) : QLineEdit(parent), m_grid(grid) {
    setFrame(false);
}

void CUGEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_grid.finishEdit(false, 0, 1, true);
        return;
    case Qt::Key_Tab:
        m_grid.finishEdit(false, 1, 0, true);
        return;
    case Qt::Key_Backtab:
        m_grid.finishEdit(false, -1, 0, true);
        return;
    case Qt::Key_Up:
        m_grid.finishEdit(false, 0, -1, true);
        return;
    case Qt::Key_Down:
        m_grid.finishEdit(false, 0, 1, true);
        return;
    case Qt::Key_Escape:
        m_grid.finishEdit(true, 0, 0, false);
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void CUGEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The edit box's own context menu takes the focus for a moment; the edit goes on meanwhile.
    if (event->reason() != Qt::PopupFocusReason) {
        m_grid.finishEdit(false, 0, 0, false);
    }
}
