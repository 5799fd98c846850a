#include "model/CValueIdCache.h"

#include <cstring>

namespace {

constexpr std::size_t kInitialSlots = 1024;

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 29;
    return h;
}

std::uint64_t load64(const char* data) {
    std::uint64_t word;
    std::memcpy(&word, data, sizeof word);
    return word;
}

std::uint32_t load32(const char* data) {
    std::uint32_t word;
    std::memcpy(&word, data, sizeof word);
    return word;
}

// The last 1 to 7 bytes as one word, read with whole loads (overlapping where needed) rather than byte
// stores into a word, which would stall the load that follows. Together with the length it identifies the
// bytes exactly.
std::uint64_t tailWord(const char* data, std::size_t left) {
    if (left >= 4)
        return static_cast<std::uint64_t>(load32(data)) << 32 | load32(data + left - 4);
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    return static_cast<std::uint64_t>(bytes[0]) << 16 | static_cast<std::uint64_t>(bytes[left / 2]) << 8 |
           bytes[left - 1];
}

// Values are short: comparing them word by word in line beats a call of memcmp.
bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    std::size_t left = a.size();
    const char* x = a.data();
    const char* y = b.data();
    for (; left >= 8; x += 8, y += 8, left -= 8) {
        if (load64(x) != load64(y))
            return false;
    }
    return left == 0 || tailWord(x, left) == tailWord(y, left);
}

// Eight bytes at a time with a multiply-xorshift mix, the length in the seed.
std::uint32_t hashOf(std::string_view text) {
    std::uint64_t h = 0x9E3779B97F4A7C15ULL ^ text.size();
    const char* data = text.data();
    std::size_t left = text.size();
    for (; left >= 8; data += 8, left -= 8)
        h = mix(h ^ load64(data));
    if (left > 0)
        h = mix(h ^ tailWord(data, left));
    return static_cast<std::uint32_t>(mix(h) >> 32);
}

}  // namespace

CValueInterner::Id CValueIdCache::intern(std::string_view text) {
    if (m_slots.empty()) {
        m_slots.resize(kInitialSlots);
        m_mask = kInitialSlots - 1;
    }
    const std::uint32_t hash = hashOf(text);
    for (std::size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        Slot& slot = m_slots[i];
        if (slot.text.data() == nullptr) {
            CValueInterner& interner = CValueInterner::instance();
            const CValueInterner::Id id = interner.intern(text);
            slot.text = interner.text(id);
            slot.hash = hash;
            slot.id = id;
            if (++m_used * 2 > m_slots.size())
                grow();
            return id;
        }
        if (sameText(slot.text, text))
            return slot.id;
    }
}

void CValueIdCache::grow() {
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    const std::size_t mask = m_mask;
    for (const Slot& slot : old) {
        if (slot.text.data() == nullptr)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_slots[i].text.data() != nullptr)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}
