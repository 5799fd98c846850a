#pragma once

// Gives every distinct value text a small number, once, for the whole process. The catalog splits each value
// string when it is set and keeps the numbers of its values, so that the drill-down collects and compares
// numbers instead of splitting and comparing strings on every recompute. Numbers are never reused; the
// table only grows by the distinct texts ever seen, which a catalog's values bound in practice.

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class CValueInterner final {
public:
    using Id = std::uint32_t;

    static CValueInterner& instance();

    Id intern(std::string_view text);
    // The number of a text seen before, or nullopt.
    std::optional<Id> find(std::string_view text) const;
    // The text of a number (the reference stays valid for the life of the process).
    const std::string& text(Id id) const;
    // One more than the largest number given so far.
    std::size_t size() const;

private:
    mutable std::mutex m_mutex;
    std::deque<std::string> m_texts;
    std::unordered_map<std::string_view, Id> m_ids;
};
