#include "grid/CUGDelegate.h"

#include "grid/CUGCellType.h"
#include "grid/CUGCtrl.h"
#include "grid/CUGEdit.h"
#include "grid/CUGModel.h"

CUGDelegate::CUGDelegate(CUGCtrl& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

void CUGDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    m_grid.cellTypeObject(m_grid.gridModel().kind(index.column(), index.row())).paint(painter, cell, option.widget);
}

QWidget* CUGDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                   const QModelIndex& /*index*/) const {
    auto* editor = new CUGEdit(parent, m_grid);
    editor->setFont(m_grid.font());
    return editor;
}

void CUGDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* edit = qobject_cast<CUGEdit*>(editor)) {
        edit->setText(m_grid.gridModel().text(index.column(), index.row()));
        edit->selectAll();
    }
}

void CUGDelegate::setModelData(QWidget* /*editor*/, QAbstractItemModel* /*model*/,
                               const QModelIndex& /*index*/) const {}

void CUGDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                       const QModelIndex& /*index*/) const {
    if (auto* edit = qobject_cast<CUGEdit*>(editor)) {
        edit->placeOver(option.rect);
    } else {
        editor->setGeometry(option.rect);
    }
}

bool CUGDelegate::eventFilter(QObject* /*object*/, QEvent* /*event*/) {
    return false;
}

bool CUGDelegate::editorEvent(QEvent* /*event*/, QAbstractItemModel* /*model*/,
                              const QStyleOptionViewItem& /*option*/, const QModelIndex& /*index*/) {
    return false;
}
