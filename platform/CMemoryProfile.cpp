#include "platform/CMemoryProfile.h"

CMemoryProfile::Key CMemoryProfile::key(std::string_view section, std::string_view entry) {
    return {std::string(section), std::string(entry)};
}

int CMemoryProfile::readInt(std::string_view section, std::string_view entry, int defaultValue) const {
    auto it = m_ints.find(key(section, entry));
    return it == m_ints.end() ? defaultValue : it->second;
}

std::string CMemoryProfile::readString(std::string_view section, std::string_view entry,
                                       std::string_view defaultValue) const {
    auto it = m_strings.find(key(section, entry));
    return it == m_strings.end() ? std::string(defaultValue) : it->second;
}

void CMemoryProfile::writeInt(std::string_view section, std::string_view entry, int value) {
    m_ints[key(section, entry)] = value;
}

void CMemoryProfile::writeString(std::string_view section, std::string_view entry, std::string_view value) {
    m_strings[key(section, entry)] = std::string(value);
}

bool CMemoryProfile::contains(std::string_view section, std::string_view entry) const {
    Key k = key(section, entry);
    return m_ints.count(k) != 0 || m_strings.count(k) != 0;
}
