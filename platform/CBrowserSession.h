#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The windows and tabs that a browser's session file records, reduced to what the capture needs: per tab
// the URL and title of its current page, per window its selected tab, and the selected window.
class CBrowserSession final {
public:
    struct Tab {
        std::string url;
        std::string title;
    };
    struct Window {
        std::vector<Tab> tabs;
        std::size_t selectedTab = 0;  // 0-based
    };

    void addWindow(Window window) { m_windows.push_back(std::move(window)); }
    void setSelectedWindow(std::size_t index) { m_selectedWindow = index; }
    const std::vector<Window>& windows() const { return m_windows; }

    // The tab the browser shows. A session file lags behind the screen, so when the active browser
    // window's page title `activeTitle` names another tab than the selected one, that tab wins (tabs of
    // the selected window first). Out-of-range selections fall back to the first window or tab.
    // nullopt when the session holds no tab.
    std::optional<Tab> shownTab(std::string_view activeTitle = {}) const;

private:
    std::vector<Window> m_windows;
    std::size_t m_selectedWindow = 0;
};
