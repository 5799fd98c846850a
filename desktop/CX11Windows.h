#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The top-level windows of the X11 display, read through EWMH: the client list of the window manager
// (_NET_CLIENT_LIST_STACKING, else _NET_CLIENT_LIST), each window's title (_NET_WM_NAME, else WM_NAME),
// class (WM_CLASS) and process (_NET_WM_PID), and the active window (_NET_ACTIVE_WINDOW). Without a window
// manager the mapped children of the root window stand in for the client list and the input focus for
// the active window.
class CX11Windows final {
public:
    struct Window {
        std::uint32_t id = 0;
        std::string title;     // UTF-8
        std::string instance;  // WM_CLASS, first string
        std::string wmClass;   // WM_CLASS, second string
        std::int64_t pid = -1;
    };

    // Reads the display named by DISPLAY; false when there is none or it cannot be reached.
    bool read();

    // From the top of the z-order downwards.
    const std::vector<Window>& windows() const { return m_windows; }
    std::optional<std::uint32_t> activeWindow() const { return m_active; }
    const std::string& error() const { return m_error; }

private:
    std::vector<Window> m_windows;
    std::optional<std::uint32_t> m_active;
    std::string m_error;
};
