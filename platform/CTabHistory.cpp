#include "platform/CTabHistory.h"

#include <atomic>
#include <random>

namespace {

std::uint64_t splitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t nextSeed() {
    static const std::uint64_t processSeed = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t state = processSeed ^ (counter.fetch_add(1, std::memory_order_relaxed) * 0xD1B54A32D192ED03ull);
    return splitMix(state);
}

}  // namespace


std::uint32_t CTabHistory::allocate(std::int64_t index, CBrowserSession::Tab page) {
    Node node;
    node.index = index;
    if (m_random == 0) {
        m_random = nextSeed();  // seeded with the first page: a tab the log only names costs nothing
    }
    node.priority = splitMix(m_random);
    node.page = std::move(page);
    ++m_size;
    if (!m_free.empty()) {
        const std::uint32_t slot = m_free.back();
        m_free.pop_back();
        m_nodes[slot] = std::move(node);
        return slot;
    }
    m_nodes.push_back(std::move(node));
    return static_cast<std::uint32_t>(m_nodes.size() - 1);
}

void CTabHistory::release(std::uint32_t node) {
    std::vector<std::uint32_t> pending;
    if (node != kNone) {
        pending.push_back(node);
    }
    while (!pending.empty()) {
        const std::uint32_t current = pending.back();
        pending.pop_back();
        Node& released = m_nodes[current];
        if (released.left != kNone) {
            pending.push_back(released.left);
        }
        if (released.right != kNone) {
            pending.push_back(released.right);
        }
        released = Node{};  // gives the strings' memory back
        m_free.push_back(current);
        --m_size;
    }
}

void CTabHistory::pushDown(std::uint32_t node) {
    const std::int64_t shift = m_nodes[node].pendingShift;
    if (shift == 0) {
        return;
    }
    for (const std::uint32_t child : {m_nodes[node].left, m_nodes[node].right}) {
        if (child != kNone) {
            m_nodes[child].index += shift;
            m_nodes[child].pendingShift += shift;
        }
    }
    m_nodes[node].pendingShift = 0;
}

void CTabHistory::split(std::uint32_t node, std::int64_t index, std::uint32_t& below, std::uint32_t& rest) {
    if (node == kNone) {
        below = rest = kNone;
        return;
    }
    pushDown(node);
    if (m_nodes[node].index < index) {
        std::uint32_t lower = kNone;
        split(m_nodes[node].right, index, lower, rest);
        m_nodes[node].right = lower;
        below = node;
    } else {
        std::uint32_t upper = kNone;
        split(m_nodes[node].left, index, below, upper);
        m_nodes[node].left = upper;
        rest = node;
    }
}

std::uint32_t CTabHistory::merge(std::uint32_t left, std::uint32_t right) {
    if (left == kNone) {
        return right;
    }
    if (right == kNone) {
        return left;
    }
    if (m_nodes[left].priority > m_nodes[right].priority) {
        pushDown(left);
        const std::uint32_t merged = merge(m_nodes[left].right, right);
        m_nodes[left].right = merged;
        return left;
    }
    pushDown(right);
    const std::uint32_t merged = merge(left, m_nodes[right].left);
    m_nodes[right].left = merged;
    return right;
}

void CTabHistory::set(std::int64_t index, CBrowserSession::Tab page) {
    std::uint32_t below = kNone;
    std::uint32_t rest = kNone;
    std::uint32_t at = kNone;
    std::uint32_t above = kNone;
    split(m_root, index, below, rest);
    split(rest, index + 1, at, above);
    if (at != kNone) {
        m_nodes[at].page = std::move(page);  // indices are unique, so `at` is one node
    } else {
        at = allocate(index, std::move(page));
    }
    m_root = merge(merge(below, at), above);
}

void CTabHistory::removeFrom(std::int64_t index) {
    std::uint32_t below = kNone;
    std::uint32_t rest = kNone;
    split(m_root, index, below, rest);
    release(rest);
    m_root = below;
}

void CTabHistory::removeRange(std::int64_t first, std::int64_t count) {
    std::uint32_t below = kNone;
    std::uint32_t rest = kNone;
    std::uint32_t removed = kNone;
    std::uint32_t above = kNone;
    split(m_root, first, below, rest);
    split(rest, first + count, removed, above);
    release(removed);
    if (above != kNone) {
        m_nodes[above].index -= count;
        m_nodes[above].pendingShift -= count;
    }
    m_root = merge(below, above);
}

const CBrowserSession::Tab* CTabHistory::find(std::int64_t index) const {
    std::int64_t shift = 0;
    std::uint32_t node = m_root;
    while (node != kNone) {
        const Node& current = m_nodes[node];
        const std::int64_t at = current.index + shift;
        if (at == index) {
            return &current.page;
        }
        shift += current.pendingShift;
        node = index < at ? current.left : current.right;
    }
    return nullptr;
}

const CBrowserSession::Tab* CTabHistory::last() const {
    if (m_root == kNone) {
        return nullptr;
    }
    std::uint32_t node = m_root;
    while (m_nodes[node].right != kNone) {
        node = m_nodes[node].right;
    }
    return &m_nodes[node].page;
}
