#pragma once

// A memo in front of CValueInterner for one thread: it maps a value text to its number without the
// interner's lock and hash table, which are taken once per distinct text only. Reading a catalog numbers
// millions of values drawn from a few thousand texts; the memo makes each of them one hash and one compare.
//
// Entries never go stale, because the interner never reuses a number and keeps every text for the life of
// the process: the memo's keys are views of the interner's own texts. The memo holds one entry per distinct
// text it has seen, so it is bounded by the interner itself.

#include <cstdint>
#include <string_view>
#include <vector>

#include "model/CValueInterner.h"

class CValueIdCache final {
public:
    // The interner's number of `text` (interned there on first sight).
    CValueInterner::Id intern(std::string_view text);
    // The number of distinct texts held.
    std::size_t size() const { return m_used; }

private:
    struct Slot {
        std::string_view text;   // a view of the interner's text; data() == nullptr marks a free slot
        std::uint32_t hash = 0;  // kept for growing the table; lookups compare the texts
        CValueInterner::Id id = 0;
    };

    void grow();

    std::vector<Slot> m_slots;  // open addressing with linear probing, a power of two, at most half full
    std::size_t m_mask = 0;
    std::size_t m_used = 0;
};
