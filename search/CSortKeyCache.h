#pragma once

// The ranks of the texts the sort compares, kept from one sort to the next. A key's texts are looked up by
// their source: the display name for the name key, the part of the display name or the path that the
// extension and folder keys compare, and the stored value string for a category key (whose compared text,
// the sorted value text, is made once per distinct value string, when it is first met). A source's rank is
// its compared text's place among all texts known for the key under the normalised compare that the sort
// uses, equal texts sharing a rank, so comparing two ranks gives what comparing the two texts gives.
//
// A sort of a catalog whose names and values did not change then looks up each item's sources and compares
// numbers only, allocating nothing per item. A few new texts (an edit) are placed among the known ones by
// binary search; many (the first sort after opening) rank every known text again at once.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

class CSortKeyCache final {
public:
    // The compared text of a source, for keys whose compared text is not the source itself.
    using TextOf = std::string (*)(std::string_view source);

    // ranks[i] becomes the rank of sources[i] under the key. Sources not yet known are learnt first (their
    // compared text is textOf(source), or the source itself when textOf is null), which numbers the key's
    // ranks anew; true when that happened.
    bool rank(int key, const std::vector<std::string_view>& sources, std::vector<std::uint32_t>& ranks,
              TextOf textOf = nullptr);
    // The rank of a source already known for the key, for a sort that needs only a few items' ranks; false
    // when the source is new (rank() learns it). Learning texts changes ranks but never their order.
    bool knownRank(int key, std::string_view source, std::uint32_t& rank) const;
    void clear() { m_tables.clear(); }

private:
    // A known source. Its bytes, and its compared text when that differs, are kept in the table's store.
    struct Entry {
        std::uint32_t source = 0;
        std::uint32_t sourceLength = 0;
        std::uint32_t text = 0;
        std::uint32_t textLength = 0;
        std::uint32_t rank = 0;
    };

    // The sources of one key in an open-addressing hash table: each slot holds the upper half of a source's
    // hash and its entry number, or kEmptySlot. Entries and their bytes lie in the order they were learnt,
    // which is the order of the items: the look-ups of the next sort walk them front to back.
    struct Table {
        std::vector<std::uint64_t> slots;
        std::vector<Entry> entries;
        std::string store;
        std::vector<std::uint32_t> order;  // entries in compared order
        std::vector<bool> equalsPrevious;  // by position in `order`: same compared text as the one before
        std::size_t largestSort = 0;       // the most sources one sort asked for

        std::string_view sourceOf(const Entry& entry) const { return {store.data() + entry.source, entry.sourceLength}; }
        std::string_view textOf(std::uint32_t e) const {
            return {store.data() + entries[e].text, entries[e].textLength};
        }
        // The entry of the source, or null.
        const Entry* find(std::string_view source, std::uint64_t hash) const;
        void add(std::string_view source, std::uint64_t hash, TextOf textOf);
        void growSlots();
        void clear();
    };

    static constexpr std::uint64_t kEmptySlot = ~std::uint64_t{0};

    static std::uint64_t hashOf(std::string_view text);
    static bool lookUp(const Table& table, const std::vector<std::string_view>& sources,
                       std::vector<std::uint32_t>& ranks);
    static void learn(Table& table, const std::vector<std::string_view>& sources, TextOf textOf);
    static void rankAll(Table& table);
    static void insertInOrder(Table& table, std::uint32_t first);
    static void numberRanks(Table& table);

    std::map<int, Table> m_tables;
};
