#include "model/CLostLinkTargets.h"

std::string CLostLinkTargets::keyOf(std::string_view shortcutName, std::string_view target) {
    std::string key(shortcutName);
    key += '\0';
    key += target;
    return key;
}

bool CLostLinkTargets::isLost(std::string_view shortcutName, std::string_view target) const {
    return !m_lost.empty() && m_lost.contains(keyOf(shortcutName, target));
}

void CLostLinkTargets::remember(std::string_view shortcutName, std::string_view target) {
    m_lost.insert(keyOf(shortcutName, target));
}

void CLostLinkTargets::forget(std::string_view shortcutName, std::string_view target) {
    m_lost.erase(keyOf(shortcutName, target));
}
