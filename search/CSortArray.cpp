#include "search/CSortArray.h"

#include <algorithm>
#include <cmath>

#include "model/CFileItem.h"
#include "search/CSortKeyCache.h"
#include "search/CSortValues.h"
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

// The heap sort over positions 1..n, of item numbers, as its steps are fixed: build the heap from n/2 down to
// 1, then repeatedly move the top to the end and sift the saved last item down from the top. The order of
// equal items follows from these steps.
template <typename Entry, typename Compare>
void heapSort(std::vector<Entry>& order, Compare compare) {
    const std::size_t n = order.size();
    auto at = [&order](std::size_t position) -> Entry& { return order[position - 1]; };
    auto siftDown = [&](Entry x, std::size_t p, std::size_t m) {
        std::size_t j = 2 * p;
        while (j <= m) {
            if (j < m && compare(at(j), at(j + 1)) < 0) {
                ++j;
            }
            if (compare(x, at(j)) >= 0) {
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
        const Entry saved = at(m);
        at(m) = at(1);
        siftDown(saved, 1, m - 1);
    }
}

struct Run {
    std::size_t begin;
    std::size_t end;
};

// Whether the date key finds every two items of each run equal: true when the earliest and the latest date
// of a run are less than a second apart (the compare of any two lies between 0 and theirs).
bool datesTie(CSortValues& values, const std::vector<std::uint32_t>& order, const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        double earliest = values.days(order[run.begin]);
        double latest = earliest;
        for (std::size_t i = run.begin + 1; i < run.end; ++i) {
            earliest = std::min(earliest, values.days(order[i]));
            latest = std::max(latest, values.days(order[i]));
        }
        if (std::trunc((latest - earliest) * 86400.0) != 0) {
            return false;
        }
    }
    return true;
}

// Sorts the (value, item) pairs by value: a radix sort over the bits in which the values differ, eight at a
// time, for all but short runs. The order of equal values is of no matter here.
void sortByValue(std::vector<std::pair<std::uint64_t, std::uint32_t>>& pairs,
                 std::vector<std::pair<std::uint64_t, std::uint32_t>>& spare) {
    constexpr std::size_t kShortRun = 256;
    const auto byValue = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (pairs.size() < kShortRun) {
        std::sort(pairs.begin(), pairs.end(), byValue);
        return;
    }
    std::uint64_t lowest = pairs.front().first;
    std::uint64_t highest = lowest;
    for (const auto& pair : pairs) {
        lowest = std::min(lowest, pair.first);
        highest = std::max(highest, pair.first);
    }
    const std::uint64_t span = highest - lowest;
    spare.resize(pairs.size());
    for (unsigned shift = 0; shift < 64 && (span >> shift) != 0; shift += 8) {
        std::size_t counts[257] = {};
        for (const auto& pair : pairs) {
            ++counts[((pair.first - lowest) >> shift & 0xFF) + 1];
        }
        for (std::size_t b = 1; b < 257; ++b) {
            counts[b] += counts[b - 1];
        }
        for (const auto& pair : pairs) {
            spare[counts[(pair.first - lowest) >> shift & 0xFF]++] = pair;
        }
        pairs.swap(spare);
    }
}

// Sorts the items of a run by key k and appends the stretches of items it finds equal to `ties`.
void sortRun(CSortValues& values, std::size_t k, std::vector<std::uint32_t>& order, const Run& run,
             std::vector<std::pair<std::uint64_t, std::uint32_t>>& pairs,
             std::vector<std::pair<std::uint64_t, std::uint32_t>>& spare, std::vector<Run>& ties) {
    for (;;) {
        const std::size_t learnt = values.learnCount();
        pairs.clear();
        for (std::size_t i = run.begin; i < run.end; ++i) {
            pairs.emplace_back(values.value(k, order[i]), order[i]);
        }
        if (values.learnCount() == learnt) {
            break;
        }
        // The cache learnt new texts while the run was read: its earlier ranks were numbered otherwise.
    }
    const std::uint64_t first = pairs.front().first;
    if (std::all_of(pairs.begin(), pairs.end(), [first](const auto& pair) { return pair.first == first; })) {
        ties.push_back(run);  // the key finds them all equal
        return;
    }
    sortByValue(pairs, spare);
    std::size_t tieStart = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        order[run.begin + i] = pairs[i].second;
        if (i > 0 && pairs[i].first != pairs[i - 1].first) {
            if (i - tieStart > 1) {
                ties.push_back({run.begin + tieStart, run.begin + i});
            }
            tieStart = i;
        }
    }
    if (pairs.size() - tieStart > 1) {
        ties.push_back({run.begin + tieStart, run.end});
    }
}

// Sorts the item numbers by the keys, one key at a time: each key sorts only the stretches of items that
// the keys before it found equal. Keys that find every item equal are passed over. When no stretch is left
// every pair of items is decided by some key: the keys' compare is then a strict total order with exactly
// one sorted result, the one the heap sort's steps reach too. Stretches left after the last key hold items
// that compare equal, and `ties` holds them. False when a date key must decide between items of a stretch
// (seconds compared through differences of days need not be transitive): only the compare can order them.
bool sortByKeys(CSortValues& values, std::vector<std::uint32_t>& order, std::vector<Run>& ties) {
    ties.assign(1, Run{0, order.size()});
    std::vector<Run> next;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> pairs;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> spare;
    for (std::size_t k = 0; k < values.keyCount() && !ties.empty(); ++k) {
        if (values.isUnknown(k)) {
            continue;
        }
        if (values.isDate(k)) {
            if (!datesTie(values, order, ties)) {
                return false;
            }
            continue;
        }
        next.clear();
        std::size_t tied = 0;
        for (const Run& run : ties) {
            tied += run.end - run.begin;
        }
        values.prepare(k, tied);
        for (const Run& run : ties) {
            sortRun(values, k, order, run, pairs, spare, next);
        }
        ties.swap(next);
    }
    return true;
}

}  // namespace

void CSortArray::sortItems(std::vector<CFileItem*>& items) const {
    CSortKeyCache cache;
    sortItems(items, cache);
}

// The keys first sort the items as far as they tell them apart (sortByKeys). Items they find equal are then
// put in the heap sort's order by running the heap sort over all items, comparing their places in the sorted
// order, equal items sharing a place: the same compare results as the keys give, at the cost of comparing
// two numbers.
void CSortArray::sortItems(std::vector<CFileItem*>& items, CSortKeyCache& cache) const {
    const std::size_t n = items.size();
    if (n < 2) {
        return;
    }
    CSortValues values(items, m_keys, cache);
    std::vector<std::uint32_t> order(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = static_cast<std::uint32_t>(i);
    }
    std::vector<Run> ties;
    if (sortByKeys(values, order, ties)) {
        if (!ties.empty()) {
            std::vector<bool> tiedWithPrevious(n, false);
            for (const Run& run : ties) {
                for (std::size_t i = run.begin + 1; i < run.end; ++i) {
                    tiedWithPrevious[i] = true;
                }
            }
            // Each heap entry carries its item's place above its item number, so that a compare reads no
            // other memory.
            std::vector<std::uint64_t> placed(n);
            std::uint64_t place = 0;
            for (std::size_t i = 0; i < n; ++i) {
                place += i > 0 && !tiedWithPrevious[i] ? 1 : 0;
                placed[order[i]] = place << 32 | order[i];
            }
            heapSort(placed, [](std::uint64_t a, std::uint64_t b) {
                return (a >> 32) < (b >> 32) ? -1 : (b >> 32) < (a >> 32) ? 1 : 0;
            });
            for (std::size_t i = 0; i < n; ++i) {
                order[i] = static_cast<std::uint32_t>(placed[i]);
            }
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            order[i] = static_cast<std::uint32_t>(i);
        }
        heapSort(order, [&values](std::uint32_t a, std::uint32_t b) { return values.compare(a, b); });
    }
    std::vector<CFileItem*> sorted(n);
    for (std::size_t i = 0; i < n; ++i) {
        sorted[i] = items[order[i]];
    }
    items = std::move(sorted);
}
