#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "desktop/CBrowserPageTransport.h"
#include "platform/CBrowserSession.h"

class CCaptureWait;

// Answers the capture from the session file of the running browser. The file lags behind the screen:
// Firefox writes it at most every "browser.sessionstore.interval" milliseconds (15 s unless set), the
// Chromium family a few seconds after a change. So a page is taken only when the title the browser window
// shows now is the title of a tab in the session, and that tab's own address goes with it. When the
// session does not hold the page shown yet, the capture waits for the next write, for at most the
// browser's write interval and two seconds, and then refuses rather than pair the wrong address.
class CSessionBrowserTransport final : public CBrowserPageTransport {
public:
    using CBrowserPageTransport::CBrowserPageTransport;

    // Told while waiting (not owned; nullptr waits without telling anyone and cannot be cancelled).
    void setWait(CCaptureWait* wait) { m_wait = wait; }

    // How long the browser may take to write a change of its tabs to the session file.
    static std::chrono::milliseconds writeInterval(const CRunningBrowsers::Browser& browser);
    // The value of the preference "browser.sessionstore.interval" in prefs.js or user.js text.
    static std::optional<long long> sessionInterval(const std::string& prefs);

    // The tab of `session` that shows the page titled `liveTitle`: the selected tab first, then the tabs
    // of the selected window, then all. nullopt when the session does not hold that page.
    static std::optional<CBrowserSession::Tab> tabShowing(const CBrowserSession& session,
                                                          const std::string& liveTitle);

protected:
    std::optional<Page> shownPage(const CRunningBrowsers::Browser& browser) override;

private:
    std::optional<CBrowserSession> readSession(const CRunningBrowsers::Browser& browser);
    // The page of `session` that the browser shows now, or nullopt while the session lags.
    std::optional<Page> pageShown(const CBrowserSession& session);
    // The selected tab of a session without titles, once the window has shown its page long enough.
    std::optional<Page> settledPage(const CBrowserSession& session);
    std::optional<Page> waitForSession(const CRunningBrowsers::Browser& browser, CBrowserSession session,
                                       std::int64_t writtenNs);

    CCaptureWait* m_wait = nullptr;
};
