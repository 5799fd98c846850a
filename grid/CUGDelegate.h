#pragma once

#include <QStyledItemDelegate>

class CUGCtrl;

// Draws each cell through its cell type and creates the in-place edit box. The grid stores what an edit
// produced itself, through its notifications, so the delegate neither writes to the model nor watches the
// edit box's keys.
class CUGDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CUGDelegate(CUGCtrl& grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

private:
    CUGCtrl& m_grid;
};
