#include "search/CSortKeyCache.h"

#include <algorithm>

#include "text/Normalize.h"

bool CSortKeyCache::lookUp(const Table& table, const std::vector<std::string_view>& texts,
                           std::vector<std::uint32_t>& ranks) {
    ranks.resize(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto found = table.find(texts[i]);
        if (found == table.end()) {
            return false;
        }
        ranks[i] = found->second;
    }
    return true;
}

void CSortKeyCache::rankAgain(Table& table) {
    std::vector<std::pair<std::u32string, std::uint32_t*>> keys;
    keys.reserve(table.size());
    for (auto& [text, rank] : table) {
        keys.emplace_back(jtext::normalizedKey(text, jtext::kNormCase), &rank);
    }
    std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i > 0 && keys[i].first != keys[i - 1].first) {
            ++rank;
        }
        *keys[i].second = rank;
    }
}

void CSortKeyCache::rank(int key, const std::vector<std::string_view>& texts, std::vector<std::uint32_t>& ranks) {
    Texts& known = m_tables[key];
    Table& table = known.table;
    known.largestSort = std::max(known.largestSort, texts.size());
    if (lookUp(table, texts, ranks)) {
        return;
    }
    // Texts of items long gone are dropped now and then, so that renaming items does not grow the table.
    if (table.size() > 2 * known.largestSort + 1024) {
        table.clear();
    }
    for (const std::string_view text : texts) {
        table.try_emplace(std::string(text), 0);
    }
    rankAgain(table);
    lookUp(table, texts, ranks);
}

bool CSortKeyCache::knownRank(int key, std::string_view text, std::uint32_t& rank) const {
    const auto known = m_tables.find(key);
    if (known == m_tables.end()) {
        return false;
    }
    const auto found = known->second.table.find(text);
    if (found == known->second.table.end()) {
        return false;
    }
    rank = found->second;
    return true;
}
