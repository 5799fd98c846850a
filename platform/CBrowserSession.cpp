#include "platform/CBrowserSession.h"

std::optional<CBrowserSession::Tab> CBrowserSession::shownTab(std::string_view activeTitle) const {
    const Window* window = nullptr;
    if (m_selectedWindow < m_windows.size() && !m_windows[m_selectedWindow].tabs.empty()) {
        window = &m_windows[m_selectedWindow];
    } else {
        for (const Window& candidate : m_windows) {
            if (!candidate.tabs.empty()) {
                window = &candidate;
                break;
            }
        }
    }
    if (!window) {
        return std::nullopt;
    }
    const Tab& selected = window->tabs[window->selectedTab < window->tabs.size() ? window->selectedTab : 0];
    if (activeTitle.empty() || selected.title == activeTitle) {
        return selected;
    }
    for (const Tab& tab : window->tabs) {
        if (tab.title == activeTitle) {
            return tab;
        }
    }
    for (const Window& other : m_windows) {
        for (const Tab& tab : other.tabs) {
            if (tab.title == activeTitle) {
                return tab;
            }
        }
    }
    return selected;
}
