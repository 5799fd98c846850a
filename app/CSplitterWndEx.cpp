#include "app/CSplitterWndEx.h"

#include <QApplication>
#include <algorithm>

CSplitterWndEx::CSplitterWndEx(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setChildrenCollapsible(true);
}

void CSplitterWndEx::hideLastRow() {
    if (isRowHidden() || count() < 2) {
        return;
    }
    const int row = count() - 1;
    QWidget* pane = widget(row);
    if (QWidget* focus = QApplication::focusWidget(); focus && (focus == pane || pane->isAncestorOf(focus))) {
        widget(row > 0 ? row - 1 : 0)->setFocus(Qt::OtherFocusReason);
    }
    m_sizesBeforeHide = sizes();
    pane->hide();
    m_hiddenRow = row;
}

void CSplitterWndEx::showHiddenRow() {
    if (!isRowHidden()) {
        return;
    }
    widget(m_hiddenRow)->show();
    m_hiddenRow = -1;
    if (m_sizesBeforeHide.size() == count()) {
        setSizes(m_sizesBeforeHide);
    }
}

int CSplitterWndEx::rowHeight(int row) const {
    if (row < 0 || row >= count() || row == m_hiddenRow) {
        return 0;
    }
    return sizes().value(row);
}

void CSplitterWndEx::setRowHeight(int row, int height) {
    QList<int> heights = sizes();
    if (row < 0 || row >= heights.size()) {
        return;
    }
    int total = 0;
    for (int i = 0; i < heights.size(); ++i) {
        if (i != m_hiddenRow) {
            total += heights[i];
        }
    }
    if (total <= 0) {
        total = orientation() == Qt::Vertical ? contentsRect().height() : contentsRect().width();
    }
    const int lastShown = m_hiddenRow == heights.size() - 1 ? heights.size() - 2 : heights.size() - 1;
    heights[row] = std::clamp(height, 0, std::max(total, height));
    int used = 0;
    for (int i = 0; i < heights.size(); ++i) {
        if (i != lastShown && i != m_hiddenRow) {
            used += heights[i];
        }
    }
    if (row != lastShown) {
        heights[lastShown] = std::max(0, total - used);
    }
    setSizes(heights);
}
