#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/CRunningBrowsers.h"
#include "desktop/CX11Windows.h"
#include "platform/CTopLevelWindow.h"

// The browser whose page a capture takes: of the browsers that run for this user, the one whose window
// is active, else the one with the topmost window, else the one whose session changed last. Knows that
// browser's front window and the title it shows now, which is live where the session files lag behind.
class CActiveBrowser final {
public:
    // Finds the running browsers and the windows again unless that was done a moment ago.
    void refresh();
    // Reads the chosen browser's window title again, now.
    void refreshTitle();

    const CRunningBrowsers::Browser* chosen() const;
    bool haveDisplay() const { return m_haveDisplay; }
    // The page part of the chosen browser's front window title ("" without a display).
    std::string livePageTitle() const;
    // True when the front window is a private (incognito) one.
    bool showsPrivateWindow() const;
    // How many top-level windows the chosen browser has (0 without a display).
    std::size_t windowCount() const;
    // The process that owns the front window (-1 without a display).
    std::int64_t windowPid() const;

    // The top-level windows, Firefox's titled "Page - Mozilla Firefox" as when the capture was written.
    std::vector<CTopLevelWindow> topLevelWindows() const;

    // The session file the browser writes (the newest one for the Chromium family).
    static std::string sessionPathOf(const CRunningBrowsers::Browser& browser);
    // The page part of a browser window title: "Page — Mozilla Firefox" and "Page - Chromium" give "Page",
    // a title that is only the browser's name gives "".
    static std::string pageTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle);
    // True for the title of a private Firefox window ("… — Mozilla Firefox Private Browsing").
    static bool isPrivateTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle);

private:
    bool readWindows();
    std::optional<std::size_t> ownerOf(const CX11Windows::Window& window) const;
    const CX11Windows::Window* frontWindow() const;

    std::vector<CRunningBrowsers::Browser> m_browsers;
    CX11Windows m_x11;
    bool m_haveDisplay = false;
    std::optional<std::size_t> m_chosen;        // in m_browsers
    std::optional<std::size_t> m_chosenWindow;  // in m_x11.windows(): the chosen browser's front window
    std::chrono::steady_clock::time_point m_refreshed{};
};
