#pragma once

// The shortcut targets that a search for a moved file failed to find. Searching costs a walk of up to
// thousands of folder entries, so a target found lost is searched for once: it stays lost until the file
// reappears at its recorded place or the memo is forgotten (a refresh command, another catalog opened).

#include <string>
#include <string_view>
#include <unordered_set>

class CLostLinkTargets final {
public:
    bool isLost(std::string_view shortcutName, std::string_view target) const;
    void remember(std::string_view shortcutName, std::string_view target);
    void forget(std::string_view shortcutName, std::string_view target);
    void clear() { m_lost.clear(); }
    bool empty() const { return m_lost.empty(); }

private:
    // A shortcut and its recorded target: a new shortcut of the same name for another target is not lost.
    static std::string keyOf(std::string_view shortcutName, std::string_view target);

    std::unordered_set<std::string> m_lost;
};
