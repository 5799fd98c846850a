#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/CRunningBrowsers.h"
#include "desktop/CX11Windows.h"
#include "platform/CBrowserSession.h"
#include "platform/CBrowserTransport.h"

// Answers the browser capture on Linux, where browsers have no conversation service: the page comes from
// the session file of the running browser and the titles from the X11 top-level windows. Firefox answers
// as the service "Firefox"; the Chromium family, which never had a service, answers as "Opera" (itself a
// Chromium browser) in the reply shape of its version 2. When several browsers run, the one whose window
// was active last answers, and only under its own service name.
class CLinuxBrowserTransport final : public CBrowserTransport {
public:
    static constexpr const char* kFirefoxService = "Firefox";
    static constexpr const char* kChromiumService = "Opera";
    static constexpr std::uint32_t kChromiumReplyVersion = 0x20000;

    bool connect(const std::string& service, const std::string& topic) override;
    std::optional<std::string> request(const std::string& item, int timeoutMs) override;
    void disconnect() override;
    std::vector<CTopLevelWindow> topLevelWindows() override;
    std::string failureReason() const override { return m_failure; }

    // The page part of a browser window title: "Page — Mozilla Firefox" and "Page - Chromium" give "Page",
    // a title that is only the browser's name gives "".
    static std::string pageTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle);

private:
    // Finds the running browsers and the windows again unless that was done a moment ago.
    void refresh();
    // The X11 windows within a time limit; false without a display.
    bool readWindows();
    std::optional<std::size_t> ownerOf(const CX11Windows::Window& window) const;
    std::optional<CBrowserSession> readSession(const CRunningBrowsers::Browser& browser, std::string& failure) const;
    bool prepareWindowInfo();

    std::vector<CRunningBrowsers::Browser> m_browsers;
    CX11Windows m_x11;
    bool m_haveDisplay = false;
    std::optional<std::size_t> m_chosen;         // in m_browsers
    std::optional<std::size_t> m_chosenWindow;   // in m_x11.windows(): the chosen browser's front window
    std::chrono::steady_clock::time_point m_refreshed{};
    std::optional<CBrowserSession> m_session;
    bool m_connected = false;
    std::string m_topic;
    std::string m_reply;
    std::string m_failure;
};
