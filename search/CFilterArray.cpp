#include "search/CFilterArray.h"

#include <algorithm>

void CFilterArray::removeAt(int i) {
    if (i >= 0 && i < count()) {
        m_filters.erase(m_filters.begin() + i);
    }
}

void CFilterArray::swap(int i, int j) {
    if (i >= 0 && j >= 0 && i < count() && j < count()) {
        std::swap(m_filters[static_cast<std::size_t>(i)], m_filters[static_cast<std::size_t>(j)]);
    }
}

bool CFilterArray::hasContentCondition() const {
    return std::any_of(m_filters.begin(), m_filters.end(), [](const CItemFilter& filter) {
        return filter.target() == CItemFilter::kTargetTextFile;
    });
}

void CFilterArray::categoryRemoved(int n) {
    const int removed = CItemFilter::kTargetFirstCategory + n;
    std::erase_if(m_filters, [removed](const CItemFilter& filter) { return filter.target() == removed; });
    for (CItemFilter& filter : m_filters) {
        if (filter.target() > removed) {
            filter.setTarget(filter.target() - 1);
        }
    }
}

void CFilterArray::categoriesExchanged(int a, int b) {
    const int first = CItemFilter::kTargetFirstCategory + a;
    const int second = CItemFilter::kTargetFirstCategory + b;
    for (CItemFilter& filter : m_filters) {
        if (filter.target() == first) {
            filter.setTarget(second);
        } else if (filter.target() == second) {
            filter.setTarget(first);
        }
    }
}

// Every item starts rejected. The first condition and every "or" condition bring back the rejected items
// that match it; every "and" condition sends the kept items that fail it back to the rejected ones.
void CFilterArray::apply(std::vector<CFileItem*>& items, const CExtArray* textFileExtensions) const {
    if (m_filters.empty()) {
        return;
    }
    std::vector<CFileItem*> rejected = std::move(items);
    items.clear();
    for (std::size_t k = 0; k < m_filters.size(); ++k) {
        const CItemFilter& filter = m_filters[k];
        std::vector<CFileItem*> stay;
        if (k == 0 || filter.conjunction() == CItemFilter::kConjunctionOr) {
            for (CFileItem* item : rejected) {
                (filter.matches(*item, textFileExtensions) ? items : stay).push_back(item);
            }
            rejected = std::move(stay);
        } else {
            for (CFileItem* item : items) {
                if (filter.matches(*item, textFileExtensions)) {
                    stay.push_back(item);
                } else {
                    rejected.push_back(item);
                }
            }
            items = std::move(stay);
        }
    }
}
