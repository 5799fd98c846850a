#include "desktop/CSessionBrowserTransport.h"

#include <algorithm>
#include <regex>
#include <thread>

#include "desktop/CChromiumSessionReader.h"
#include "desktop/CFirefoxSessionReader.h"
#include "desktop/CSessionFile.h"
#include "platform/CCaptureWait.h"

namespace {

using namespace std::chrono_literals;

// Firefox's default session store interval.
constexpr auto kFirefoxInterval = 15000ms;
// The Chromium family saves its session commands this long after a change.
constexpr auto kChromiumInterval = 2500ms;
// Time for the write itself and for the page to reach the file system, on top of the interval.
constexpr auto kWriteSlack = 2000ms;
constexpr auto kPollInterval = 150ms;
// How much longer than its write interval a window must show a page before the session surely holds it.
constexpr auto kSettleSlack = 1000ms;
// A session file that fails to read is tried again: the browser may have been replacing it.
constexpr int kReadAttempts = 3;
constexpr auto kRetryDelay = 40ms;
constexpr std::uint64_t kPrefsLimit = 4u << 20;

std::string fileText(const std::string& path) {
    const auto text = CSessionFile::read(path, kPrefsLimit, nullptr);
    return text ? *text : std::string();
}

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::optional<long long> CSessionBrowserTransport::sessionInterval(const std::string& prefs) {
    static const std::regex kPref(R"re(user_pref\(\s*"browser\.sessionstore\.interval"\s*,\s*(\d{1,9})\s*\))re");
    std::optional<long long> value;
    for (auto it = std::sregex_iterator(prefs.begin(), prefs.end(), kPref); it != std::sregex_iterator(); ++it) {
        value = std::stoll((*it)[1].str());  // the last setting wins, as in Firefox
    }
    return value;
}

std::chrono::milliseconds CSessionBrowserTransport::writeInterval(const CRunningBrowsers::Browser& browser) {
    if (browser.kind == CRunningBrowsers::Kind::Chromium) {
        return kChromiumInterval;
    }
    // user.js is applied after prefs.js and wins.
    auto interval = sessionInterval(fileText(browser.profile + "/user.js"));
    if (!interval) {
        interval = sessionInterval(fileText(browser.profile + "/prefs.js"));
    }
    return interval ? std::chrono::milliseconds(std::min<long long>(*interval, 3600000)) : kFirefoxInterval;
}

std::optional<CBrowserSession::Tab> CSessionBrowserTransport::tabShowing(const CBrowserSession& session,
                                                                         const std::string& liveTitle) {
    const auto matches = [&](const CBrowserSession::Tab& tab) { return sameTitle(Page{tab.url, tab.title}, liveTitle); };
    if (const auto selected = session.shownTab(); selected && matches(*selected)) {
        return selected;
    }
    // The session file still has the tab selected before the user switched: the shown page may be
    // another of its tabs.
    if (const auto named = session.shownTab(liveTitle); named && matches(*named)) {
        return named;
    }
    for (const CBrowserSession::Window& window : session.windows()) {
        for (const CBrowserSession::Tab& tab : window.tabs) {
            if (matches(tab)) {
                return tab;
            }
        }
    }
    return std::nullopt;
}

std::optional<CBrowserSession> CSessionBrowserTransport::readSession(const CRunningBrowsers::Browser& browser) {
    CSessionError error;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(kRetryDelay);
        }
        auto session = browser.kind == CRunningBrowsers::Kind::Firefox
                           ? CFirefoxSessionReader::readProfile(browser.profile, &error)
                           : CChromiumSessionReader::readProfile(browser.profile, &error);
        if (session) {
            return session;
        }
    }
    fail(error.message());
    return std::nullopt;
}

std::optional<CBrowserPageTransport::Page> CSessionBrowserTransport::pageShown(const CBrowserSession& session) {
    std::optional<CBrowserSession::Tab> tab;
    if (activeBrowser().haveDisplay()) {
        tab = tabShowing(session, activeBrowser().livePageTitle());
    } else {
        // Without a display (a console, a Wayland session) nothing tells the page shown but the session.
        tab = session.shownTab();
    }
    if (!tab) {
        return std::nullopt;
    }
    return Page{tab->url, tab->title};
}

std::optional<CBrowserPageTransport::Page> CSessionBrowserTransport::shownPage(
    const CRunningBrowsers::Browser& browser) {
    const std::int64_t writtenNs = CSessionFile::modifiedNs(CActiveBrowser::sessionPathOf(browser));
    auto session = readSession(browser);
    if (!session && writtenNs < 0 && activeBrowser().haveDisplay()) {
        // A browser that has just started shows its page before it writes its first session.
        session = CBrowserSession();
    }
    if (!session) {
        return std::nullopt;
    }
    auto page = pageShown(*session);
    if (!page) {
        page = waitForSession(browser, std::move(*session), writtenNs);
    }
    if (page && !isRegistrable(page->url)) {
        refuse(CaptureRefusal::BrowserPage, page->url + ": a page of the browser's own");
        return std::nullopt;
    }
    return page;
}

std::optional<CBrowserPageTransport::Page> CSessionBrowserTransport::waitForSession(
    const CRunningBrowsers::Browser& browser, CBrowserSession session, std::int64_t writtenNs) {
    // The browser writes a change at most one interval after its last write; a write long ago means the
    // next one comes as soon as the browser is idle.
    const auto interval = writeInterval(browser);
    const auto sinceWrite = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::nanoseconds(writtenNs < 0 ? 0 : std::max<std::int64_t>(0, nowNs() - writtenNs)));
    auto limit = interval - std::min(sinceWrite, interval) + kWriteSlack;
    // The Chromium family writes no titles to its session: its page can only be taken once the window
    // has shown it for longer than the browser takes to write a change (see settledPage).
    if (browser.kind == CRunningBrowsers::Kind::Chromium) {
        limit = interval + kWriteSlack;
    }
    const auto start = std::chrono::steady_clock::now();
    std::string shownTitle = activeBrowser().livePageTitle();
    auto shownSince = start;
    std::string path = CActiveBrowser::sessionPathOf(browser);
    std::int64_t seen = writtenNs;
    std::optional<Page> page;
    for (;;) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (elapsed >= limit) {
            refuse(CaptureRefusal::NotYetSaved,
                   path + ": the page \"" + activeBrowser().livePageTitle() + "\" is not in the session yet");
            break;
        }
        if (m_wait && !m_wait->waiting(elapsed, limit)) {
            refuse(CaptureRefusal::Cancelled, "the wait for the browser was cancelled");
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
        // The user may switch tabs meanwhile: the window's title is read again, and the session when the
        // browser has written it.
        activeBrowser().refreshTitle();
        const std::string newest = CActiveBrowser::sessionPathOf(browser);
        const std::int64_t written = CSessionFile::modifiedNs(newest);
        if (written != seen || newest != path) {
            if (auto fresh = readSession(browser)) {
                session = std::move(*fresh);
                seen = written;
                path = newest;
            }
        }
        if (activeBrowser().livePageTitle() != shownTitle) {
            shownTitle = activeBrowser().livePageTitle();
            shownSince = std::chrono::steady_clock::now();
        }
        page = pageShown(session);
        if (!page && std::chrono::steady_clock::now() - shownSince > interval + kSettleSlack) {
            page = settledPage(session);
        }
        if (page) {
            break;
        }
    }
    if (m_wait) {
        m_wait->ended();
    }
    return page;
}

std::optional<CBrowserPageTransport::Page> CSessionBrowserTransport::settledPage(const CBrowserSession& session) {
    // The window has shown its page since before the browser's last chance to write a change, so the
    // session's selected tab is that page. Only a tab without a title of its own is taken this way (a
    // titled one must match), and only when every window of the browser is in the session: a private
    // window, which the session leaves out and the title does not reveal, may be the one in front.
    const auto selected = session.shownTab();
    if (!selected || !selected->title.empty() ||
        activeBrowser().windowCount() > session.windows().size()) {
        return std::nullopt;
    }
    return Page{selected->url, activeBrowser().livePageTitle()};
}
