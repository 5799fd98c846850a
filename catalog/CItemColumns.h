#pragma once

// The columns in which an item is shown, in their order: the fixed columns name, date and size, each only
// while the catalog's show flag for it is set, then one column per category with a grid column (every
// category has one), in category order. Column indices here count these columns only; the grid puts its
// check-box column in front of them.

#include <array>
#include <optional>
#include <vector>

class CFileCatalog;

enum class ItemColumn { Name, Date, Size, Category, Count };

class CItemColumns final {
public:
    // The columns of the catalog as it stands: its show flags and its categories.
    explicit CItemColumns(const CFileCatalog& catalog);
    CItemColumns(bool showName, bool showDate, bool showSize, std::vector<int> categories);

    int count() const { return m_fixedCount + static_cast<int>(m_categories.size()); }
    // The number of fixed columns shown, which is also the index of the first category column.
    int fixedCount() const { return m_fixedCount; }
    // What column `column` shows; Count when there is no such column.
    ItemColumn kindAt(int column) const;
    // The category that column `column` shows, or -1 for a fixed column or no column.
    int categoryAt(int column) const;
    // The column of a fixed kind, or -1 while it is hidden; the column of a category, or -1.
    int columnOf(ItemColumn fixed) const;
    int columnOfCategory(int category) const;
    // The sort key (CSortItem) that the column's heading sorts by: the name, date or size key, or the
    // category index; nothing for no column.
    std::optional<int> sortKeyAt(int column) const;

private:
    std::array<ItemColumn, 3> m_fixed{};
    int m_fixedCount = 0;
    std::vector<int> m_categories;
};
