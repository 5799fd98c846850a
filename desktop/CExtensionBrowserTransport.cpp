#include "desktop/CExtensionBrowserTransport.h"

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The extension reports a change within milliseconds; a report this late is not coming.
constexpr auto kReportLimit = 1000ms;
constexpr auto kPollInterval = 50ms;

}  // namespace

std::optional<CBrowserHostState::Page> CExtensionBrowserTransport::reported(const CRunningBrowsers::Browser& browser) {
    // The window's process is the browser's main process, which started the host.
    const std::int64_t windowPid = activeBrowser().windowPid();
    if (windowPid > 0) {
        if (auto page = CBrowserHostState::readFor(windowPid)) {
            return page;
        }
    }
    return browser.pid > 0 && browser.pid != windowPid ? CBrowserHostState::readFor(browser.pid) : std::nullopt;
}

bool CExtensionBrowserTransport::agreesWithWindow(const CBrowserHostState::Page& page) {
    if (page.loading) {
        return false;
    }
    // Without a display the report is all there is to go by.
    return !activeBrowser().haveDisplay() || sameTitle(Page{page.url, page.title}, activeBrowser().livePageTitle());
}

std::optional<CBrowserPageTransport::Page> CExtensionBrowserTransport::shownPage(
    const CRunningBrowsers::Browser& browser) {
    auto page = reported(browser);
    if (!page) {
        fail("no browser extension reports for this browser");
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + kReportLimit;
    while (!page->incognito && !agreesWithWindow(*page) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollInterval);
        activeBrowser().refreshTitle();
        if (auto newer = reported(browser)) {
            page = std::move(newer);
        }
    }
    if (page->incognito) {
        refuse(CaptureRefusal::PrivateWindow, "the browser extension reports a private window");
        return std::nullopt;
    }
    if (!agreesWithWindow(*page)) {
        fail("the browser extension's report does not match the window \"" + activeBrowser().livePageTitle() + "\"");
        return std::nullopt;
    }
    if (!isRegistrable(page->url)) {
        refuse(CaptureRefusal::BrowserPage, page->url + ": a page of the browser's own");
        return std::nullopt;
    }
    return Page{page->url, page->title};
}
