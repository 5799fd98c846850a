#pragma once

#include <cstdint>
#include <vector>

#include "platform/CBrowserSession.h"

// The navigation history of one tab while a session log is replayed: pages keyed by navigation index. The
// log removes ranges of indices and shifts the later ones down, as often as it likes, so the pages sit in a
// treap whose subtrees carry a pending index shift: every operation costs O(log n) expected, and removed
// pages are paid for by the commands that added them. Priorities come from a per-process random seed, so
// no file can choose a degenerate tree.
class CTabHistory final {
public:
    bool empty() const { return m_root == kNone; }
    std::size_t size() const { return m_size; }

    // Sets the page at `index`, replacing the one there.
    void set(std::int64_t index, CBrowserSession::Tab page);
    // Removes the pages at `index` and after.
    void removeFrom(std::int64_t index);
    // Removes the pages at [first, first + count) and moves the later ones down by `count` (count > 0).
    void removeRange(std::int64_t first, std::int64_t count);

    // The page at `index`, nullptr when there is none.
    const CBrowserSession::Tab* find(std::int64_t index) const;
    // The page with the highest index, nullptr when the history is empty.
    const CBrowserSession::Tab* last() const;

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct Node {
        std::int64_t index = 0;
        std::int64_t pendingShift = 0;  // still to be added to every index below this node
        std::uint64_t priority = 0;
        std::uint32_t left = kNone;
        std::uint32_t right = kNone;
        CBrowserSession::Tab page;
    };

    void pushDown(std::uint32_t node);
    // Splits `node` into the pages below `index` and those at or after it.
    void split(std::uint32_t node, std::int64_t index, std::uint32_t& below, std::uint32_t& rest);
    std::uint32_t merge(std::uint32_t left, std::uint32_t right);
    void release(std::uint32_t node);
    std::uint32_t allocate(std::int64_t index, CBrowserSession::Tab page);

    std::vector<Node> m_nodes;
    std::vector<std::uint32_t> m_free;
    std::uint32_t m_root = kNone;
    std::size_t m_size = 0;
    std::uint64_t m_random = 0;
};
