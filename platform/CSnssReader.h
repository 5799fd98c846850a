#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CBrowserSession.h"
#include "platform/CSessionError.h"
#include "platform/CTabHistory.h"

// Replays the command log of a Chromium-family session file into the windows and tabs it leaves. Every
// read is bounds-checked against the bytes that are there; a command cut off by the end of the file (a
// write in progress) ends the replay at the last whole command. An encrypted file is an error. Every
// command costs O(log n) (plus what it removes, which its adders paid for), so a replay is linear in the
// file up to that factor.
class CSnssReader final {
public:
    CSnssReader(std::string_view bytes, std::string path);

    std::optional<CBrowserSession> read(CSessionError* error);

private:
    struct Tab {
        std::int32_t window = 0;
        std::int32_t visualIndex = 0;
        std::int32_t currentNavigation = 0;
        CTabHistory navigations;
    };
    struct Window {
        std::int32_t selectedVisualIndex = 0;
        std::uint64_t order = 0;  // first mention, so that windows keep the browser's order
    };

    // One command; false with the error filled in when its payload is malformed.
    bool apply(std::uint8_t id, std::string_view payload, std::uint64_t offset);
    bool readNavigation(std::string_view payload, std::uint64_t offset);
    Window& window(std::int32_t id);
    // The tab with `id`, made (in `window`) when the log names it first.
    Tab& tab(std::int32_t id, std::int32_t window = 0);
    void moveTab(std::int32_t id, Tab& tab, std::int32_t window);
    void closeTab(std::int32_t id);
    CBrowserSession build() const;
    bool fail(std::uint64_t offset, std::string what);

    std::string_view m_bytes;
    std::string m_path;
    CSessionError m_error;
    std::map<std::int32_t, Tab> m_tabs;
    std::map<std::int32_t, Window> m_windows;
    std::map<std::int32_t, std::map<std::int32_t, Tab*>> m_windowTabs;  // window id -> its tabs by id
    std::optional<std::int32_t> m_activeWindow;
    std::uint64_t m_windowCount = 0;
};
