#pragma once

// The ordered sort keys of a catalog (the first decides first) and the sort of the displayed items.

#include <vector>

#include "search/CSortItem.h"

class CFileItem;
class CSortKeyCache;

class CSortArray final {
public:
    // A new array holds the default keys: name, date, size, extension, folder, all ascending.
    CSortArray();

    int count() const { return static_cast<int>(m_keys.size()); }
    const CSortItem& at(int i) const { return m_keys[static_cast<std::size_t>(i)]; }
    CSortItem& at(int i) { return m_keys[static_cast<std::size_t>(i)]; }
    const std::vector<CSortItem>& keys() const { return m_keys; }

    void resetToDefault();
    void removeAll() { m_keys.clear(); }
    // Appends the key, ascending.
    void add(int key);
    void append(const CSortItem& item) { m_keys.push_back(item); }
    void removeAt(int i);
    // Removes the key with that code if present and puts it first with the given direction.
    void setPrimary(int key, bool ascending);
    bool contains(int key) const;
    // The first key's code (0 when there is none) and direction (ascending when there is none).
    int primaryKey() const;
    bool primaryAscending() const;
    void swap(int i, int j);
    void copyFrom(const CSortArray& other) { m_keys = other.m_keys; }

    // Category n was deleted: its key goes, later category keys move down by one.
    void categoryRemoved(int n);
    // Categories a and b changed places.
    void categoriesExchanged(int a, int b);

    // Negative when a sorts before b, 0 when every key finds them equal.
    int compare(const CFileItem& a, const CFileItem& b) const;
    // Sorts the items in place with a heap sort. It is not stable; the order of items that compare equal
    // is the one its fixed steps give, the same on every run.
    void sortItems(std::vector<CFileItem*>& items) const;
    // The same, with the text ranks kept in `cache` from one sort to the next.
    void sortItems(std::vector<CFileItem*>& items, CSortKeyCache& cache) const;

    bool operator==(const CSortArray&) const = default;

private:
    std::vector<CSortItem> m_keys;
};
