#include "views/CCategoryListModel.h"

#include "catalog/CFileCatalog.h"

CCategoryListModel::CCategoryListModel(const CFileCatalog& catalog, int category, QObject* parent)
    : QAbstractListModel(parent), m_catalog(catalog), m_category(category) {
    if (categoryExists()) {
        m_values = m_catalog.category(m_category).values();
    }
}

bool CCategoryListModel::categoryExists() const {
    return m_category >= 0 && m_category < m_catalog.categoryCount();
}

const std::string* CCategoryListModel::value(int row) const {
    if (row < 1 || row > static_cast<int>(m_values.size())) {
        return nullptr;
    }
    return &m_values[static_cast<std::size_t>(row - 1)];
}

int CCategoryListModel::rowOfValue(const std::string& text) const {
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_values[i] == text) {
            return static_cast<int>(i) + 1;
        }
    }
    return -1;
}

void CCategoryListModel::refill() {
    beginResetModel();
    if (categoryExists()) {
        m_values = m_catalog.category(m_category).values();
    } else {
        m_values.clear();
    }
    endResetModel();
}

int CCategoryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_values.size()) + 1;
}

Qt::Alignment CCategoryListModel::alignment() const {
    if (!categoryExists()) {
        return Qt::AlignLeft;
    }
    switch (m_catalog.category(m_category).alignment()) {
        case 1:
            return Qt::AlignHCenter;
        case 2:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
    }
}

QVariant CCategoryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    // A value too long for the list is cut short with "…"; its tool tip shows it whole.
    if (role == Qt::DisplayRole || (role == Qt::ToolTipRole && index.row() > 0)) {
        if (index.row() == 0) {
            return QStringLiteral("全て(%1)").arg(m_values.size());
        }
        const std::string* text = value(index.row());
        return text ? QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size())) : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(alignment() | Qt::AlignVCenter);
    }
    return {};
}

QVariant CCategoryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section != 0 || orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return categoryExists() ? QString::fromStdString(m_catalog.categoryName(m_category)) : QString();
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(alignment() | Qt::AlignVCenter);
    }
    return {};
}
