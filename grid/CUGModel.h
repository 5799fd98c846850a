#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <unordered_map>
#include <vector>

#include "grid/CUGCell.h"

class CUGCtrl;
class CUGDataSource;

// The grid's table model: a thin layer that asks the data source for each cell when the view needs it,
// with a sparse map of cells that the grid itself set (quick texts, colours, whole cells) laid over it.
// Changing the shape resets the model once, whatever the number of rows; the overrides and any sorted
// row order start anew with it, since the rows now stand for new data.
class CUGModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CUGModel(CUGCtrl& grid);

    void setSource(const CUGDataSource* source) { m_source = source; }
    void setShape(int cols, int rows);
    int cols() const { return m_cols; }
    int rows() const { return m_rows; }

    QString text(int col, int row) const;
    CUGCellKind kind(int col, int row) const;
    bool checked(int col, int row) const;
    QString label(int col, int row) const;
    Qt::Alignment alignment(int col, int row) const;
    CUGDataType dataType(int col, int row) const;
    // The cell's own colour, or an invalid colour when it has none.
    QColor ownBackColor(int col, int row) const;
    CUGCell cell(int col, int row) const;

    void setText(int col, int row, const QString& text);
    void setBackColor(int col, int row, const QColor& colour);
    void setCell(int col, int row, const CUGCell& cell);

    // Shows the rows in the given order of data rows (a permutation of 0..rows-1); an empty order is the
    // data's own.
    void setOrder(std::vector<int> order);
    // Orders the shown rows by a column's cells with a three-way compare; equal cells keep their order.
    void sortRows(int col, const std::function<int(const CUGCell&, const CUGCell&)>& compare);
    int dataRow(int row) const { return row < 0 || m_order.empty() ? row : m_order[static_cast<size_t>(row)]; }

    // Tells the views that cells changed, so that they repaint them and tell assistive tools.
    void cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    enum Field : unsigned { kText = 1, kBack = 2, kWhole = 4 };
    struct Override {
        CUGCell cell;
        unsigned fields = 0;
    };

    const Override* findOverride(int col, int dataRow) const;
    Override& overrideAt(int col, int row);
    static quint64 key(int col, int dataRow) {
        return (static_cast<quint64>(static_cast<quint32>(dataRow)) << 32) | static_cast<quint32>(col);
    }

    CUGCtrl& m_grid;
    const CUGDataSource* m_source = nullptr;
    int m_cols = 0;
    int m_rows = 0;
    std::vector<int> m_order;
    std::unordered_map<quint64, Override> m_overrides;
};
