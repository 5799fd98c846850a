#include "catalog/CItemColumns.h"

#include <algorithm>

#include "catalog/CFileCatalog.h"
#include "search/CSortItem.h"

namespace {

std::vector<int> gridCategories(const CFileCatalog& catalog) {
    std::vector<int> categories;
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        if (catalog.category(i).isGridColumn()) {
            categories.push_back(i);
        }
    }
    return categories;
}

}  // namespace

CItemColumns::CItemColumns(const CFileCatalog& catalog)
    : CItemColumns(catalog.showName(), catalog.showDate(), catalog.showSize(), gridCategories(catalog)) {}

CItemColumns::CItemColumns(bool showName, bool showDate, bool showSize, std::vector<int> categories)
    : m_categories(std::move(categories)) {
    for (const auto& [shown, kind] :
         {std::pair{showName, ItemColumn::Name}, {showDate, ItemColumn::Date}, {showSize, ItemColumn::Size}}) {
        if (shown) {
            m_fixed[static_cast<std::size_t>(m_fixedCount++)] = kind;
        }
    }
}

ItemColumn CItemColumns::kindAt(int column) const {
    if (column < 0 || column >= count()) {
        return ItemColumn::Count;
    }
    return column < m_fixedCount ? m_fixed[static_cast<std::size_t>(column)] : ItemColumn::Category;
}

int CItemColumns::categoryAt(int column) const {
    if (column < m_fixedCount || column >= count()) {
        return -1;
    }
    return m_categories[static_cast<std::size_t>(column - m_fixedCount)];
}

int CItemColumns::columnOf(ItemColumn fixed) const {
    for (int column = 0; column < m_fixedCount; ++column) {
        if (m_fixed[static_cast<std::size_t>(column)] == fixed) {
            return column;
        }
    }
    return -1;
}

int CItemColumns::columnOfCategory(int category) const {
    const auto found = std::find(m_categories.begin(), m_categories.end(), category);
    return found == m_categories.end() ? -1 : m_fixedCount + static_cast<int>(found - m_categories.begin());
}

std::optional<int> CItemColumns::sortKeyAt(int column) const {
    switch (kindAt(column)) {
        case ItemColumn::Name:
            return CSortItem::kName;
        case ItemColumn::Date:
            return CSortItem::kDate;
        case ItemColumn::Size:
            return CSortItem::kSize;
        case ItemColumn::Category:
            return categoryAt(column);
        case ItemColumn::Count:
            break;
    }
    return std::nullopt;
}
