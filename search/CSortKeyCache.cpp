#include "search/CSortKeyCache.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "text/Normalize.h"

namespace {

int textOrder(std::string_view a, std::string_view b) {
    return jtext::normalizedCompare(a, b, jtext::kNormCase);
}

}  // namespace

// Eight bytes at a time, each mixed in by a multiplication; the upper half picks the slot's tag, the lower
// bits the slot.
std::uint64_t CSortKeyCache::hashOf(std::string_view text) {
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    std::uint64_t hash = text.size() * kMultiplier;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    if (i < text.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, text.size() - i);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    hash *= 0xBF58476D1CE4E5B9ULL;
    return hash ^ (hash >> 32);
}

const CSortKeyCache::Entry* CSortKeyCache::Table::find(std::string_view source, std::uint64_t hash) const {
    if (slots.empty()) {
        return nullptr;
    }
    const std::size_t mask = slots.size() - 1;
    const std::uint64_t tag = hash >> 32;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        const std::uint64_t slot = slots[s];
        if (slot == kEmptySlot) {
            return nullptr;
        }
        if (slot >> 32 == tag) {
            const Entry& entry = entries[slot & 0xFFFFFFFF];
            if (sourceOf(entry) == source) {
                return &entry;
            }
        }
    }
}

// Slots stay at most half full.
void CSortKeyCache::Table::growSlots() {
    slots.assign(std::max<std::size_t>(64, slots.size() * 2), kEmptySlot);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t e = 0; e < entries.size(); ++e) {
        const std::uint64_t hash = hashOf(sourceOf(entries[e]));
        std::size_t s = hash & mask;
        while (slots[s] != kEmptySlot) {
            s = (s + 1) & mask;
        }
        slots[s] = (hash >> 32) << 32 | e;
    }
}

void CSortKeyCache::Table::add(std::string_view source, std::uint64_t hash, TextOf textOf) {
    if ((entries.size() + 1) * 2 > slots.size()) {
        growSlots();
    }
    Entry entry;
    entry.source = static_cast<std::uint32_t>(store.size());
    entry.sourceLength = static_cast<std::uint32_t>(source.size());
    store.append(source);
    entry.text = entry.source;
    entry.textLength = entry.sourceLength;
    if (textOf != nullptr) {
        const std::string text = textOf(source);
        if (text != source) {
            entry.text = static_cast<std::uint32_t>(store.size());
            entry.textLength = static_cast<std::uint32_t>(text.size());
            store.append(text);
        }
    }
    const std::uint32_t e = static_cast<std::uint32_t>(entries.size());
    entries.push_back(entry);
    const std::size_t mask = slots.size() - 1;
    std::size_t s = hash & mask;
    while (slots[s] != kEmptySlot) {
        s = (s + 1) & mask;
    }
    slots[s] = (hash >> 32) << 32 | e;
}

void CSortKeyCache::Table::clear() {
    slots.clear();
    entries.clear();
    store.clear();
    order.clear();
    equalsPrevious.clear();
}

// Neighbouring items often share a text (a folder, an empty name): a source equal to the one before takes
// its rank without a look-up. The hashes are taken first, so that the slots of the sources a little ahead
// can be fetched while a slot is read.
bool CSortKeyCache::lookUp(const Table& table, const std::vector<std::string_view>& sources,
                           std::vector<std::uint32_t>& ranks) {
    constexpr std::size_t kAhead = 16;
    ranks.resize(sources.size());
    if (table.slots.empty()) {
        return sources.empty();
    }
    std::vector<std::uint64_t> hashes(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        hashes[i] = hashOf(sources[i]);
    }
    const std::size_t mask = table.slots.size() - 1;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i + kAhead < sources.size()) {
            __builtin_prefetch(&table.slots[hashes[i + kAhead] & mask]);
        }
        if (i > 0 && hashes[i] == hashes[i - 1] && sources[i] == sources[i - 1]) {
            ranks[i] = ranks[i - 1];
            continue;
        }
        const Entry* entry = table.find(sources[i], hashes[i]);
        if (entry == nullptr) {
            return false;
        }
        ranks[i] = entry->rank;
    }
    return true;
}

// Every known text normalised once and sorted: the first sort of a key, or one that meets many new texts.
// The normalised keys live in one buffer, as bytes whose order is the keys' order: a million names then cost a
// few bytes each rather than a string of four-byte values each.
void CSortKeyCache::rankAll(Table& table) {
    struct Key {
        std::size_t offset;
        std::size_t length;
        std::uint32_t entry;
    };
    std::string buffer;
    std::vector<Key> keys;
    keys.reserve(table.entries.size());
    for (std::uint32_t e = 0; e < table.entries.size(); ++e) {
        const std::size_t offset = buffer.size();
        jtext::appendNormalizedKeyBytes(buffer, table.textOf(e), jtext::kNormCase);
        keys.push_back({offset, buffer.size() - offset, e});
    }
    auto bytesOf = [&buffer](const Key& key) { return std::string_view(buffer).substr(key.offset, key.length); };
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int order = bytesOf(a).compare(bytesOf(b));
        return order != 0 ? order < 0 : a.entry < b.entry;
    });
    table.order.resize(keys.size());
    table.equalsPrevious.assign(keys.size(), false);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        table.order[i] = keys[i].entry;
        table.equalsPrevious[i] = i > 0 && bytesOf(keys[i]) == bytesOf(keys[i - 1]);
    }
}

// Places the entries from `first` on among the ordered ones: each after every text that sorts before it,
// new texts in their own order where several fall in the same place. Tie flags are worked out again only
// next to a new entry.
void CSortKeyCache::insertInOrder(Table& table, std::uint32_t first) {
    const auto before = [&table](std::uint32_t a, std::uint32_t b) {
        return textOrder(table.textOf(a), table.textOf(b)) < 0;
    };
    std::vector<std::pair<std::size_t, std::uint32_t>> placed;  // (position in the old order, entry)
    for (std::uint32_t e = first; e < table.entries.size(); ++e) {
        const auto position = std::lower_bound(table.order.begin(), table.order.end(), e, before);
        placed.emplace_back(static_cast<std::size_t>(position - table.order.begin()), e);
    }
    std::sort(placed.begin(), placed.end(), [&before](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : before(a.second, b.second);
    });
    std::vector<std::uint32_t> order;
    std::vector<bool> equalsPrevious;
    std::vector<bool> isNew;
    order.reserve(table.order.size() + placed.size());
    auto next = placed.begin();
    for (std::size_t i = 0; i <= table.order.size(); ++i) {
        for (; next != placed.end() && next->first == i; ++next) {
            order.push_back(next->second);
            equalsPrevious.push_back(false);
            isNew.push_back(true);
        }
        if (i < table.order.size()) {
            order.push_back(table.order[i]);
            equalsPrevious.push_back(table.equalsPrevious[i]);
            isNew.push_back(false);
        }
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (isNew[i] || isNew[i - 1]) {
            equalsPrevious[i] = textOrder(table.textOf(order[i - 1]), table.textOf(order[i])) == 0;
        }
    }
    table.order = std::move(order);
    table.equalsPrevious = std::move(equalsPrevious);
}

void CSortKeyCache::numberRanks(Table& table) {
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < table.order.size(); ++i) {
        if (i > 0 && !table.equalsPrevious[i]) {
            ++rank;
        }
        table.entries[table.order[i]].rank = rank;
    }
}

void CSortKeyCache::learn(Table& table, const std::vector<std::string_view>& sources, TextOf textOf) {
    // Texts of items long gone are dropped now and then, so that renaming items does not grow the table.
    if (table.entries.size() > 2 * table.largestSort + 1024) {
        table.clear();
    }
    const std::size_t known = table.entries.size();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (i > 0 && sources[i] == sources[i - 1]) {
            continue;
        }
        const std::uint64_t hash = hashOf(sources[i]);
        if (table.find(sources[i], hash) == nullptr) {
            table.add(sources[i], hash, textOf);
        }
    }
    // A binary search costs about twenty compares of two texts; ranking all again normalises every text.
    const std::size_t learnt = table.entries.size() - known;
    if (learnt * 32 <= known) {
        insertInOrder(table, static_cast<std::uint32_t>(known));
    } else {
        rankAll(table);
    }
    numberRanks(table);
}

bool CSortKeyCache::rank(int key, const std::vector<std::string_view>& sources, std::vector<std::uint32_t>& ranks,
                         TextOf textOf) {
    Table& table = m_tables[key];
    table.largestSort = std::max(table.largestSort, sources.size());
    if (lookUp(table, sources, ranks)) {
        return false;
    }
    learn(table, sources, textOf);
    lookUp(table, sources, ranks);
    return true;
}

bool CSortKeyCache::knownRank(int key, std::string_view source, std::uint32_t& rank) const {
    const auto table = m_tables.find(key);
    if (table == m_tables.end()) {
        return false;
    }
    const Entry* entry = table->second.find(source, hashOf(source));
    if (entry == nullptr) {
        return false;
    }
    rank = entry->rank;
    return true;
}
