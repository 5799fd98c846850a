#include "model/CValueInterner.h"

CValueInterner& CValueInterner::instance() {
    static CValueInterner interner;
    return interner;
}

CValueInterner::Id CValueInterner::intern(std::string_view text) {
    std::lock_guard lock(m_mutex);
    if (auto found = m_ids.find(text); found != m_ids.end()) {
        return found->second;
    }
    const Id id = static_cast<Id>(m_texts.size());
    m_texts.emplace_back(text);
    m_ids.emplace(m_texts.back(), id);  // deque elements never move, so the view stays valid
    return id;
}

std::optional<CValueInterner::Id> CValueInterner::find(std::string_view text) const {
    std::lock_guard lock(m_mutex);
    if (auto found = m_ids.find(text); found != m_ids.end()) {
        return found->second;
    }
    return std::nullopt;
}

const std::string& CValueInterner::text(Id id) const {
    std::lock_guard lock(m_mutex);
    return m_texts[id];
}

std::size_t CValueInterner::size() const {
    std::lock_guard lock(m_mutex);
    return m_texts.size();
}
