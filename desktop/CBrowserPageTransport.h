#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/CActiveBrowser.h"
#include "platform/CBrowserTransport.h"

// A capture transport on Linux, where browsers have no conversation service: it answers for the active
// browser (CActiveBrowser) from a source of its own, the page that browser shows. Firefox answers as the
// service "Firefox"; the Chromium family, which never had a service, answers as "Opera" (itself a
// Chromium browser) in the reply shape of its version 2. Each answer pairs an address with the title of
// the same page, never with a title read elsewhere.
class CBrowserPageTransport : public CBrowserTransport {
public:
    static constexpr const char* kFirefoxService = "Firefox";
    static constexpr const char* kChromiumService = "Opera";
    static constexpr std::uint32_t kChromiumReplyVersion = 0x20000;

    struct Page {
        std::string url;
        std::string title;
    };

    explicit CBrowserPageTransport(CActiveBrowser& browser) : m_browser(browser) {}

    bool connect(const std::string& service, const std::string& topic) override;
    std::optional<std::string> request(const std::string& item, int timeoutMs) override;
    void disconnect() override;
    std::vector<CTopLevelWindow> topLevelWindows() override;
    std::string failureReason() const override { return m_failure; }
    CaptureRefusal refusal() const override { return m_refusal; }

    // True for the addresses a capture may register: web, FTP and file pages that are not the browser's
    // own first-run pages.
    static bool isRegistrable(const std::string& url);
    // True when `page` is the one a window showing the page title `liveTitle` shows. A page
    // without a title matches a window that shows no title or shows the address.
    static bool sameTitle(const Page& page, const std::string& liveTitle);

protected:
    // The page the chosen browser shows; nullopt after fail() or refuse().
    virtual std::optional<Page> shownPage(const CRunningBrowsers::Browser& browser) = 0;

    CActiveBrowser& activeBrowser() { return m_browser; }
    void fail(std::string reason) { m_failure = std::move(reason); }
    void refuse(CaptureRefusal refusal, std::string reason) {
        m_refusal = refusal;
        m_failure = std::move(reason);
    }

private:
    CActiveBrowser& m_browser;
    std::optional<Page> m_page;  // the page of the open conversation
    bool m_firefox = false;
    bool m_connected = false;
    std::string m_topic;
    std::string m_reply;
    std::string m_failure;
    CaptureRefusal m_refusal = CaptureRefusal::None;
};
