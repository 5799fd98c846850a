#include "grid/CUGModel.h"

#include <algorithm>

#include "grid/CUGCtrl.h"
#include "grid/CUGDataSource.h"

CUGModel::CUGModel(CUGCtrl& grid) : QAbstractTableModel(&grid), m_grid(grid) {}

void CUGModel::setShape(int cols, int rows) {
    beginResetModel();
    m_cols = std::max(0, cols);
    m_rows = std::max(0, rows);
    m_order.clear();
    m_overrides.clear();
    endResetModel();
}

const CUGModel::Override* CUGModel::findOverride(int col, int dataRow) const {
    if (m_overrides.empty()) {
        return nullptr;
    }
    const auto found = m_overrides.find(key(col, dataRow));
    return found == m_overrides.end() ? nullptr : &found->second;
}

CUGModel::Override& CUGModel::overrideAt(int col, int row) {
    const int source = dataRow(row);
    auto found = m_overrides.find(key(col, source));
    if (found != m_overrides.end()) {
        return found->second;
    }
    // A new override starts as the cell shows now, so that setting one field keeps the others.
    Override& entry = m_overrides[key(col, source)];
    entry.cell = cell(col, row);
    return entry;
}

QString CUGModel::text(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & (kText | kWhole))) {
        return entry->cell.text();
    }
    return m_source ? m_source->cellText(col, source) : QString();
}

CUGCellKind CUGModel::kind(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & kWhole)) {
        return entry->cell.cellType();
    }
    return m_source ? m_source->cellType(col, source) : CUGCellKind::Normal;
}

bool CUGModel::checked(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & (kText | kWhole))) {
        return entry->cell.isChecked();
    }
    return m_source && m_source->cellChecked(col, source);
}

QString CUGModel::label(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & kWhole)) {
        return entry->cell.label();
    }
    return m_source ? m_source->cellLabel(col, source) : QString();
}

Qt::Alignment CUGModel::alignment(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & kWhole)) {
        return entry->cell.alignment();
    }
    return m_source ? m_source->cellAlignment(col, source) : Qt::AlignLeft | Qt::AlignVCenter;
}

CUGDataType CUGModel::dataType(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & kWhole)) {
        return entry->cell.dataType();
    }
    return m_source ? m_source->cellDataType(col, source) : CUGDataType::Text;
}

QColor CUGModel::ownBackColor(int col, int row) const {
    const int source = dataRow(row);
    if (const Override* entry = findOverride(col, source); entry && (entry->fields & (kBack | kWhole))) {
        return entry->cell.backColor();
    }
    return m_source ? m_source->cellBackColor(col, source) : QColor();
}

CUGCell CUGModel::cell(int col, int row) const {
    CUGCell result;
    result.setText(text(col, row));
    result.setLabel(label(col, row));
    result.setCellType(kind(col, row));
    result.setAlignment(alignment(col, row));
    result.setDataType(dataType(col, row));
    result.setBackColor(ownBackColor(col, row));
    if (const Override* entry = findOverride(col, dataRow(row)); entry && (entry->fields & kWhole)) {
        result.setCellTypeEx(entry->cell.cellTypeEx());
    }
    return result;
}

void CUGModel::setText(int col, int row, const QString& text) {
    Override& entry = overrideAt(col, row);
    entry.cell.setText(text);
    entry.fields |= kText;
}

void CUGModel::setBackColor(int col, int row, const QColor& colour) {
    Override& entry = overrideAt(col, row);
    entry.cell.setBackColor(colour);
    entry.fields |= kBack;
}

void CUGModel::setCell(int col, int row, const CUGCell& cell) {
    Override& entry = overrideAt(col, row);
    entry.cell = cell;
    entry.fields |= kWhole;
}

void CUGModel::setOrder(std::vector<int> order) {
    Q_EMIT layoutAboutToBeChanged();
    m_order = std::move(order);
    Q_EMIT layoutChanged();
}

void CUGModel::sortRows(int col, const std::function<int(const CUGCell&, const CUGCell&)>& compare) {
    if (col < 0 || col >= m_cols) {
        return;
    }
    std::vector<CUGCell> cells;
    cells.reserve(static_cast<size_t>(m_rows));
    std::vector<int> shown(static_cast<size_t>(m_rows));
    for (int row = 0; row < m_rows; ++row) {
        cells.push_back(cell(col, row));
        shown[static_cast<size_t>(row)] = row;
    }
    std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
        return compare(cells[static_cast<size_t>(a)], cells[static_cast<size_t>(b)]) < 0;
    });
    std::vector<int> order(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        order[i] = dataRow(shown[i]);
    }
    setOrder(std::move(order));
}

void CUGModel::cellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) {
    if (m_rows == 0 || m_cols == 0) {
        return;
    }
    firstCol = std::clamp(firstCol, 0, m_cols - 1);
    lastCol = std::clamp(lastCol, firstCol, m_cols - 1);
    firstRow = std::clamp(firstRow, 0, m_rows - 1);
    lastRow = std::clamp(lastRow, firstRow, m_rows - 1);
    Q_EMIT dataChanged(index(firstRow, firstCol), index(lastRow, lastCol));
}

int CUGModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

int CUGModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_cols;
}

QVariant CUGModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const int col = index.column();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole:
        // A check box shows its state, not its "1" or "0".
        return kind(col, row) == CUGCellKind::CheckBox ? QVariant() : QVariant(text(col, row));
    case Qt::EditRole:
        return text(col, row);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(col, row));
    case Qt::BackgroundRole: {
        const QColor own = ownBackColor(col, row);
        return own.isValid() ? own : m_grid.defaultBackColor();
    }
    case Qt::CheckStateRole:
        if (kind(col, row) == CUGCellKind::CheckBox) {
            return checked(col, row) ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    default:
        return {};
    }
}

QVariant CUGModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const int col = orientation == Qt::Horizontal ? section : -1;
    const int row = orientation == Qt::Horizontal ? -1 : section;
    switch (role) {
    case Qt::DisplayRole:
        return text(col, row);
    case Qt::BackgroundRole: {
        const QColor own = ownBackColor(col, row);
        return own.isValid() ? QVariant(own) : QVariant();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    default:
        return {};
    }
}

Qt::ItemFlags CUGModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const CUGCellKind type = kind(index.column(), index.row());
    if (type == CUGCellKind::Normal || type == CUGCellKind::DropList) {
        result |= Qt::ItemIsEditable;
    } else if (type == CUGCellKind::CheckBox) {
        // Screen readers read a check box cell's state from this flag; the grid itself toggles it.
        result |= Qt::ItemIsUserCheckable;
    }
    return result;
}
