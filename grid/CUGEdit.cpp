#include "grid/CUGEdit.h"

#include <QKeyEvent>
#include <algorithm>

#include "grid/CUGCtrl.h"

CUGEdit::CUGEdit(QWidget* parent, CUGCtrl& grid) : QLineEdit(parent), m_grid(grid) {
    setFrame(false);
    connect(this, &QLineEdit::textChanged, this, &CUGEdit::fitText);
}

void CUGEdit::placeOver(const QRect& cell) {
    m_cell = cell;
    fitText();
}

void CUGEdit::fitText() {
    if (m_cell.isEmpty()) {
        return;
    }
    // Besides its text margins the line edit keeps two pixels on each side, and the cursor needs room past
    // the last character.
    const QMargins margins = textMargins();
    const int needed = fontMetrics().horizontalAdvance(text()) + margins.left() + margins.right() + 8;
    const int room = parentWidget() ? parentWidget()->width() - m_cell.left() : m_cell.width();
    setGeometry(m_cell.left(), m_cell.top(), std::max(m_cell.width(), std::min(needed, room)), m_cell.height());
}

bool CUGEdit::event(QEvent* event) {
    // Tab and Shift+Tab finish the edit here rather than moving the focus along the window.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
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
