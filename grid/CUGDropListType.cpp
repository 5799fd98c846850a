#include "grid/CUGDropListType.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionViewItem>

#include <algorithm>

#include "grid/CUGCtrl.h"

QRect CUGDropListType::buttonRect(const QRect& cellRect) {
    const int side = cellRect.height();
    return QRect(cellRect.right() - side + 1, cellRect.top(), side, side);
}

void CUGDropListType::paint(QPainter* painter, QStyleOptionViewItem& option, const QWidget* widget) const {
    QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect button = buttonRect(option.rect);
    QStyleOptionViewItem text = option;
    text.rect.setRight(button.left() - 1);
    QStyleOptionViewItem background = option;
    background.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, widget);

    QStyleOptionButton panel;
    panel.initFrom(widget);
    panel.rect = button;
    panel.state = QStyle::State_Enabled | QStyle::State_Raised;
    style->drawPrimitive(QStyle::PE_PanelButtonBevel, &panel, painter, widget);
    QStyleOption arrow = panel;
    arrow.rect = button.adjusted(4, 4, -4, -4);
    style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, widget);
}

int CUGDropListType::extraWidth(const QWidget* widget) const {
    return widget ? widget->fontMetrics().height() + 4 : 20;
}

bool CUGDropListType::leftPressed(CUGCtrl& grid, int col, int row, const QRect& cellRect, const QPoint& pos) {
    if (!buttonRect(cellRect).contains(pos)) {
        return false;
    }
    open(grid, col, row);
    return true;
}

bool CUGDropListType::keyPressed(CUGCtrl& grid, int col, int row, const QKeyEvent& event) {
    const bool altDown = event.key() == Qt::Key_Down && (event.modifiers() & Qt::AltModifier);
    if (event.key() != Qt::Key_F4 && !altDown) {
        return false;
    }
    open(grid, col, row);
    return true;
}

void CUGDropListType::open(CUGCtrl& grid, int col, int row) {
    const CUGCell cell = grid.getCell(col, row);
    const QStringList choices = cell.choices();
    if (choices.isEmpty()) {
        return;
    }
    if (!m_list) {
        m_list = new QListWidget(&grid);
        m_list->setWindowFlags(Qt::Popup);
        m_list->setFont(grid.font());
        m_list->installEventFilter(this);
        connect(m_list, &QListWidget::itemClicked, this, &CUGDropListType::choose);
        connect(m_list, &QListWidget::itemActivated, this, &CUGDropListType::choose);
    }
    m_grid = &grid;
    m_col = col;
    m_row = row;
    m_list->clear();
    m_list->addItems(choices);
    const QList<QListWidgetItem*> current = m_list->findItems(cell.text(), Qt::MatchExactly);
    m_list->setCurrentRow(current.isEmpty() ? 0 : m_list->row(current.first()));

    const QRect cellRect = grid.cellRect(col, row);
    const int rowHeight = m_list->sizeHintForRow(0) > 0 ? m_list->sizeHintForRow(0) : cellRect.height();
    const int visible = std::min<int>(static_cast<int>(choices.size()), 12);
    const int width = std::max(cellRect.width(), m_list->sizeHintForColumn(0) + 2 * m_list->frameWidth() + 20);
    m_list->resize(width, visible * rowHeight + 2 * m_list->frameWidth());
    m_list->move(grid.viewport()->mapToGlobal(cellRect.bottomLeft()));
    m_list->show();
    m_list->setFocus(Qt::PopupFocusReason);
}

QListWidget* CUGDropListType::list() const {
    return m_list && m_list->isVisible() ? m_list.data() : nullptr;
}

bool CUGDropListType::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        m_list->hide();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CUGDropListType::choose(QListWidgetItem* item) {
    if (!item || !m_list || !m_list->isVisible()) {
        return;
    }
    const QString text = item->text();
    m_list->hide();
    if (m_grid) {
        m_grid->dropListChosen(m_col, m_row, text);
    }
}
