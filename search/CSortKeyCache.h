#pragma once

// The ranks of the texts the sort compares (display names, extensions, folders, category texts), kept from
// one sort to the next. A text's rank is its place among all texts known for its key under the normalised
// compare that the sort uses, equal texts sharing a rank, so comparing two ranks gives what comparing the
// two texts gives. Each text is normalised once, when it first appears; the sort of a catalog whose names
// and values did not change then compares numbers only.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CSortKeyCache final {
public:
    // ranks[i] becomes the rank of texts[i] under the key. Texts not yet known are learnt first, which
    // ranks every known text of the key again.
    void rank(int key, const std::vector<std::string_view>& texts, std::vector<std::uint32_t>& ranks);
    // The rank of a text already known for the key, for a sort that needs only a few items' ranks; false
    // when the text is new (rank() learns it). Learning texts changes ranks but never their order.
    bool knownRank(int key, std::string_view text, std::uint32_t& rank) const;
    void clear() { m_tables.clear(); }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    using Table = std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>>;

    struct Texts {
        Table table;
        std::size_t largestSort = 0;  // the most texts one sort asked for
    };

    static bool lookUp(const Table& table, const std::vector<std::string_view>& texts,
                       std::vector<std::uint32_t>& ranks);
    static void rankAgain(Table& table);

    std::map<int, Texts> m_tables;
};
