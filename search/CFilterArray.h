#pragma once

// The ordered filter conditions of a catalog, evaluated strictly left to right.

#include <vector>

#include "search/CItemFilter.h"

class CFileItem;
class CExtArray;

class CFilterArray final {
public:
    int count() const { return static_cast<int>(m_filters.size()); }
    bool isEmpty() const { return m_filters.empty(); }
    const CItemFilter& at(int i) const { return m_filters[static_cast<std::size_t>(i)]; }
    CItemFilter& at(int i) { return m_filters[static_cast<std::size_t>(i)]; }
    const std::vector<CItemFilter>& filters() const { return m_filters; }

    void append(const CItemFilter& filter) { m_filters.push_back(filter); }
    void removeAt(int i);
    void removeAll() { m_filters.clear(); }
    void copyFrom(const CFilterArray& other) { m_filters = other.m_filters; }
    void swap(int i, int j);

    // True when any condition searches the contents of text files.
    bool hasContentCondition() const;
    // Category n was deleted: its conditions go, conditions on later categories move down by one.
    void categoryRemoved(int n);
    // Categories a and b changed places.
    void categoriesExchanged(int a, int b);

    // Narrows the items, keeping their order: ((c1 op2 c2) op3 c3) ... without precedence. Each condition
    // is tested only against the items whose inclusion it can change.
    void apply(std::vector<CFileItem*>& items, const CExtArray* textFileExtensions = nullptr) const;

    bool operator==(const CFilterArray&) const = default;

private:
    std::vector<CItemFilter> m_filters;
};
