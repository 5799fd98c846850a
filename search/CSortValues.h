#pragma once

// The compared properties of the items of one sort, by item number: the sizes as they are, the dates as
// continuous days (converted once per item), and for each text key the ranks of the items' texts (see
// CSortKeyCache). A rank is taken when first needed: after the first key the later keys are often asked
// about a few items of many. The rank comes from what the cache knows; only a text the cache has not seen
// makes it learn the texts of every item for that key at once.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "search/CSortItem.h"

class CFileItem;
class CSortKeyCache;

class CSortValues final {
public:
    CSortValues(const std::vector<CFileItem*>& items, const std::vector<CSortItem>& keys, CSortKeyCache& cache);

    std::size_t keyCount() const { return m_keys.size(); }
    const CSortItem& key(std::size_t k) const { return m_keys[k]; }

    // What CSortArray::compare gives for items a and b.
    int compare(std::size_t a, std::size_t b);

    // Item i's value under key k as a number in the key's order, direction included: smaller sorts first,
    // equal numbers compare equal. Not for date keys (seconds compared through differences of days need not
    // be transitive) nor for unknown keys (which find every item equal).
    std::uint64_t value(std::size_t k, std::size_t i);
    // Readies the values of key k for `count` items: for many, every item's rank at once, each text looked up
    // once for its stretch of equal neighbours.
    void prepare(std::size_t k, std::size_t count);
    // Whether key k is the date key, and item i's date in days.
    bool isDate(std::size_t k) const { return m_keys[k].key() == CSortItem::kDate; }
    bool isUnknown(std::size_t k) const { return m_keys[k].key() < CSortItem::kFolder; }
    double days(std::size_t i);
    // How many times the cache was made to learn texts; the ranks of a key are numbered anew each time.
    std::size_t learnCount() const { return m_learnt; }

    // The texts the keys compare, without copying them; equal to what CFileItem's extension() and folder()
    // give.
    static std::string_view extensionOf(const CFileItem& item);
    static std::string_view folderOf(const CFileItem& item);

private:
    std::uint32_t rankOf(std::size_t k, std::size_t i);
    void rankAll(std::size_t k);
    std::string_view sourceOf(int key, const CFileItem& item) const;

    const std::vector<CFileItem*>& m_items;
    const std::vector<CSortItem>& m_keys;
    CSortKeyCache& m_cache;
    std::vector<std::vector<std::uint32_t>> m_ranks;
    std::vector<bool> m_complete;
    std::vector<double> m_days;
    std::size_t m_learnt = 0;
};
