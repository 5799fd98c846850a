#include "search/CSortArray.h"

#include <algorithm>
#include <cmath>

#include "model/CFileItem.h"
#include "search/CSortKeyCache.h"
#include "text/Normalize.h"

namespace {

int textOrder(std::string_view a, std::string_view b) {
    return jtext::normalizedCompare(a, b, jtext::kNormCase);
}

// Whole seconds between the dates, truncated toward zero: dates less than a second apart are equal.
int dateOrder(const COleDate& a, const COleDate& b) {
    const double seconds = std::trunc((a.chronologicalDays() - b.chronologicalDays()) * 86400.0);
    return seconds < 0 ? -1 : seconds > 0 ? 1 : 0;
}

// Sizes compare as numbers, whatever their distance.
int sizeOrder(std::uint64_t a, std::uint64_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

int keyOrder(int key, const CFileItem& a, const CFileItem& b) {
    switch (key) {
        case CSortItem::kName:
            return textOrder(a.displayName(), b.displayName());
        case CSortItem::kDate:
            return dateOrder(a.date(), b.date());
        case CSortItem::kSize:
            return sizeOrder(a.size(), b.size());
        case CSortItem::kExtension:
            return textOrder(a.extension(), b.extension());
        case CSortItem::kFolder:
            return textOrder(a.folder(), b.folder());
        default:
            return key >= 0 ? textOrder(a.sortedValueText(key), b.sortedValueText(key)) : 0;
    }
}

}  // namespace

CSortArray::CSortArray() {
    resetToDefault();
}

void CSortArray::resetToDefault() {
    m_keys.clear();
    for (int key = CSortItem::kName; key >= CSortItem::kFolder; --key) {
        m_keys.emplace_back(key, true);
    }
}

void CSortArray::add(int key) {
    m_keys.emplace_back(key, true);
}

void CSortArray::removeAt(int i) {
    if (i >= 0 && i < count()) {
        m_keys.erase(m_keys.begin() + i);
    }
}

void CSortArray::setPrimary(int key, bool ascending) {
    std::erase_if(m_keys, [key](const CSortItem& item) { return item.key() == key; });
    m_keys.insert(m_keys.begin(), CSortItem(key, ascending));
}

bool CSortArray::contains(int key) const {
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [key](const CSortItem& item) { return item.key() == key; });
}

int CSortArray::primaryKey() const {
    return m_keys.empty() ? 0 : m_keys.front().key();
}

bool CSortArray::primaryAscending() const {
    return m_keys.empty() ? true : m_keys.front().ascending();
}

void CSortArray::swap(int i, int j) {
    if (i >= 0 && j >= 0 && i < count() && j < count()) {
        std::swap(m_keys[static_cast<std::size_t>(i)], m_keys[static_cast<std::size_t>(j)]);
    }
}

void CSortArray::categoryRemoved(int n) {
    std::erase_if(m_keys, [n](const CSortItem& item) { return item.key() == n; });
    for (CSortItem& item : m_keys) {
        if (item.key() > n) {
            item.setKey(item.key() - 1);
        }
    }
}

void CSortArray::categoriesExchanged(int a, int b) {
    for (CSortItem& item : m_keys) {
        if (item.key() == a) {
            item.setKey(b);
        } else if (item.key() == b) {
            item.setKey(a);
        }
    }
}

int CSortArray::compare(const CFileItem& a, const CFileItem& b) const {
    for (const CSortItem& key : m_keys) {
        const int order = keyOrder(key.key(), a, b);
        if (order != 0) {
            return key.ascending() ? order : -order;
        }
    }
    return 0;
}

namespace {

// The compared properties of the items being sorted: the sizes as they are, the dates as continuous days
// (converted once per item), and for each text key the ranks of the items' texts (see CSortKeyCache). A key
// asks for an item's rank only when the keys before it find the item equal to another, which after the first
// key is often a few items of many: each rank is taken when first needed, from the texts the cache knows,
// and only a text the cache does not know yet makes it rank every item's text for that key at once.
class CSortValues final {
public:
    CSortValues(const std::vector<CFileItem*>& items, const std::vector<CSortItem>& keys, CSortKeyCache& cache)
        : m_items(items), m_keys(keys), m_cache(cache), m_ranks(keys.size()), m_complete(keys.size(), false) {}

    int compare(std::size_t a, std::size_t b) {
        for (std::size_t k = 0; k < m_keys.size(); ++k) {
            const int order = keyOrder(k, a, b);
            if (order != 0) {
                return m_keys[k].ascending() ? order : -order;
            }
        }
        return 0;
    }

    std::size_t keyCount() const { return m_keys.size(); }

    // The items' values under key k as numbers in the key's order (direction included), when they can be:
    // texts by rank, sizes as they are. `constant` becomes true when the key finds every item equal (for a
    // date, when every date is the same), and `out` is then left empty. False for a date key that tells
    // items apart: seconds compared through differences of days need not be transitive.
    bool keyValues(std::size_t k, std::vector<std::uint64_t>& out, bool& constant) {
        const int key = m_keys[k].key();
        out.clear();
        constant = true;
        if (key == CSortItem::kDate) {
            const COleDate& first = m_items.front()->date();
            return std::all_of(m_items.begin(), m_items.end(),
                               [&first](const CFileItem* item) { return item->date() == first; });
        }
        if (key < CSortItem::kFolder) {
            return true;  // an unknown key finds every item equal
        }
        if (key == CSortItem::kSize) {
            out.reserve(m_items.size());
            for (const CFileItem* item : m_items) {
                out.push_back(item->size());
            }
        } else {
            if (!m_complete[k]) {
                rankAll(k);
            }
            out.assign(m_ranks[k].begin(), m_ranks[k].end());
        }
        constant = std::all_of(out.begin(), out.end(), [&out](std::uint64_t value) { return value == out[0]; });
        if (constant) {
            out.clear();
        } else if (!m_keys[k].ascending()) {
            for (std::uint64_t& value : out) {
                value = ~value;
            }
        }
        return true;
    }

private:
    static constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

    int keyOrder(std::size_t k, std::size_t a, std::size_t b) {
        const int key = m_keys[k].key();
        if (key == CSortItem::kDate) {
            const std::vector<double>& days = chronologicalDays();
            const double seconds = std::trunc((days[a] - days[b]) * 86400.0);
            return seconds < 0 ? -1 : seconds > 0 ? 1 : 0;
        }
        if (key == CSortItem::kSize) {
            return sizeOrder(m_items[a]->size(), m_items[b]->size());
        }
        if (key < CSortItem::kFolder) {
            return 0;
        }
        const std::uint32_t rankA = rankOf(k, a);
        const std::uint32_t rankB = rankOf(k, b);
        return rankA < rankB ? -1 : rankB < rankA ? 1 : 0;
    }

    // Days on the scale dateOrder compares, so that the order is the same as comparing the dates.
    const std::vector<double>& chronologicalDays() {
        if (m_days.empty()) {
            m_days.reserve(m_items.size());
            for (const CFileItem* item : m_items) {
                m_days.push_back(item->date().chronologicalDays());
            }
        }
        return m_days;
    }

    std::uint32_t rankOf(std::size_t k, std::size_t i) {
        std::vector<std::uint32_t>& ranks = m_ranks[k];
        if (ranks.empty()) {
            ranks.assign(m_items.size(), kUnknown);
        }
        if (ranks[i] != kUnknown) {
            return ranks[i];
        }
        const int key = m_keys[k].key();
        std::uint32_t rank = kUnknown;
        if (!m_complete[k]) {
            const bool known = key == CSortItem::kName ? m_cache.knownRank(key, m_items[i]->displayName(), rank)
                                                       : m_cache.knownRank(key, textOf(key, *m_items[i]), rank);
            if (known) {
                ranks[i] = rank;
                return rank;
            }
        }
        rankAll(k);
        return ranks[i];
    }

    // Learns every item's text for the key and ranks them all; the ranks taken before keep their order.
    void rankAll(std::size_t k) {
        const int key = m_keys[k].key();
        std::vector<std::string> owned;
        std::vector<std::string_view> texts;
        texts.reserve(m_items.size());
        if (key == CSortItem::kName) {
            for (const CFileItem* item : m_items) {
                texts.emplace_back(item->displayName());
            }
        } else {
            owned.reserve(m_items.size());
            for (const CFileItem* item : m_items) {
                owned.push_back(textOf(key, *item));
            }
            texts.assign(owned.begin(), owned.end());
        }
        m_cache.rank(key, texts, m_ranks[k]);
        m_complete[k] = true;
    }

    static std::string textOf(int key, const CFileItem& item) {
        switch (key) {
            case CSortItem::kExtension:
                return item.extension();
            case CSortItem::kFolder:
                return item.folder();
            default:
                return item.sortedValueText(key);
        }
    }

    const std::vector<CFileItem*>& m_items;
    const std::vector<CSortItem>& m_keys;
    CSortKeyCache& m_cache;
    std::vector<std::vector<std::uint32_t>> m_ranks;
    std::vector<bool> m_complete;
    std::vector<double> m_days;
};

}  // namespace

// When the first keys tell every item apart (distinct names, say), every pair is decided by them alone: the
// order is then a strict total order with exactly one sorted result, which the heap sort's steps reach as
// any sort does. Keys that find every item equal (all names empty, all dates the same) decide nothing and
// are passed over. Sorting the keys' numbers then gives that result at a fraction of the heap sort's cost.
// A date key that tells items apart ends the attempt, and so does a tie left after a few keys.
namespace {

bool sortByDistinctKeys(std::vector<CFileItem*>& items, CSortValues& values) {
    constexpr std::size_t kMostKeys = 4;
    std::vector<std::vector<std::uint64_t>> columns;
    std::vector<std::uint32_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    const auto before = [&columns](std::uint32_t a, std::uint32_t b) {
        for (const std::vector<std::uint64_t>& column : columns) {
            if (column[a] != column[b]) {
                return column[a] < column[b];
            }
        }
        return false;
    };
    for (std::size_t k = 0; k < values.keyCount() && columns.size() < kMostKeys; ++k) {
        std::vector<std::uint64_t> column;
        bool constant = false;
        if (!values.keyValues(k, column, constant)) {
            return false;
        }
        if (constant) {
            continue;
        }
        columns.push_back(std::move(column));
        std::sort(order.begin(), order.end(), before);
        bool distinct = true;
        for (std::size_t i = 1; i < order.size() && distinct; ++i) {
            distinct = before(order[i - 1], order[i]);
        }
        if (distinct) {
            std::vector<CFileItem*> sorted(items.size());
            for (std::size_t i = 0; i < order.size(); ++i) {
                sorted[i] = items[order[i]];
            }
            items = std::move(sorted);
            return true;
        }
    }
    return false;  // ties remain: the heap sort's steps decide the order of equal items
}

}  // namespace

// A heap sort over positions 1..n. The steps are fixed because the order of equal items follows from them:
// build the heap from n/2 down to 1, then repeatedly move the top to the end and sift the saved last item
// down from the top. It sorts item numbers, comparing ranks of texts rather than the texts.
void CSortArray::sortItems(std::vector<CFileItem*>& items) const {
    CSortKeyCache cache;
    sortItems(items, cache);
}

void CSortArray::sortItems(std::vector<CFileItem*>& items, CSortKeyCache& cache) const {
    const std::size_t n = items.size();
    if (n < 2) {
        return;
    }
    CSortValues values(items, m_keys, cache);
    if (sortByDistinctKeys(items, values)) {
        return;
    }
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = i;
    }
    auto at = [&order](std::size_t position) -> std::size_t& { return order[position - 1]; };
    auto siftDown = [&](std::size_t x, std::size_t p, std::size_t m) {
        std::size_t j = 2 * p;
        while (j <= m) {
            if (j < m && values.compare(at(j), at(j + 1)) < 0) {
                ++j;
            }
            if (values.compare(x, at(j)) >= 0) {
                break;
            }
            at(p) = at(j);
            p = j;
            j *= 2;
        }
        at(p) = x;
    };
    for (std::size_t i = n / 2; i >= 1; --i) {
        siftDown(at(i), i, n);
    }
    for (std::size_t m = n; m > 1; --m) {
        const std::size_t saved = at(m);
        at(m) = at(1);
        siftDown(saved, 1, m - 1);
    }
    std::vector<CFileItem*> sorted(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted[i] = items[order[i]];
    }
    items = std::move(sorted);
}
