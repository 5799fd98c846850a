#include "desktop/CBrowserPageTransport.h"

#include <algorithm>
#include <cctype>

#include "platform/CBrowserCapture.h"

namespace {

const char* serviceOf(CRunningBrowsers::Kind kind) {
    return kind == CRunningBrowsers::Kind::Firefox ? CBrowserPageTransport::kFirefoxService
                                                   : CBrowserPageTransport::kChromiumService;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

bool CBrowserPageTransport::isRegistrable(const std::string& url) {
    const std::string address = lower(url);
    const bool web = startsWith(address, "http://") || startsWith(address, "https://");
    if (!web && !startsWith(address, "ftp://") && !startsWith(address, "file:")) {
        return false;  // about:, chrome:, moz-extension:, data:, javascript: and the like
    }
    // Firefox's first-run tabs: the privacy notice and the welcome and what's-new pages.
    if (web && address.find("://www.mozilla.org/") != std::string::npos) {
        for (const char* firstRun : {"/privacy/firefox", "/firstrun", "/welcome", "/whatsnew"}) {
            if (address.find(firstRun) != std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

bool CBrowserPageTransport::sameTitle(const Page& page, const std::string& liveTitle) {
    if (!page.title.empty() && page.title != page.url) {
        return page.title == liveTitle;
    }
    // Firefox shows no title for such a page; the Chromium family shows its address or file name.
    const bool fileName = !liveTitle.empty() && page.url.size() > liveTitle.size() &&
                          page.url.compare(page.url.size() - liveTitle.size(), liveTitle.size(), liveTitle) == 0 &&
                          page.url[page.url.size() - liveTitle.size() - 1] == '/';
    return liveTitle.empty() || liveTitle == page.url || fileName;
}

bool CBrowserPageTransport::connect(const std::string& service, const std::string& topic) {
    disconnect();
    m_refusal = CaptureRefusal::None;
    m_browser.refresh();
    const CRunningBrowsers::Browser* browser = m_browser.chosen();
    if (!browser) {
        m_failure.clear();
        return false;
    }
    // A failure to read the chosen browser's page stays told while the other services are tried.
    if (service != serviceOf(browser->kind)) {
        return false;
    }
    m_failure.clear();
    m_firefox = browser->kind == CRunningBrowsers::Kind::Firefox;
    if (topic == CBrowserCapture::kVersionTopic) {
        const std::uint32_t version = m_firefox ? 0 : kChromiumReplyVersion;
        m_reply.assign({static_cast<char>(version & 0xFF), static_cast<char>((version >> 8) & 0xFF),
                        static_cast<char>((version >> 16) & 0xFF), static_cast<char>(version >> 24)});
    } else if (topic == CBrowserCapture::kWindowInfoTopic) {
        if (m_browser.showsPrivateWindow()) {
            refuse(CaptureRefusal::PrivateWindow, "the browser's front window is a private one");
            return false;
        }
        m_page = shownPage(*browser);
        if (!m_page) {
            return false;
        }
        m_reply = "\"" + m_page->url + "\",\"" + m_page->title + "\",\"\"";
    } else {
        return false;
    }
    m_topic = topic;
    m_connected = true;
    return true;
}

std::optional<std::string> CBrowserPageTransport::request(const std::string& item, int /*timeoutMs*/) {
    // The answer was read when the conversation opened, within the time the reading allows.
    const bool known = (m_topic == CBrowserCapture::kVersionTopic && item == CBrowserCapture::kVersionTopic) ||
                       (m_topic == CBrowserCapture::kWindowInfoTopic && item == CBrowserCapture::kWindowInfoItem);
    if (!m_connected || !known) {
        return std::nullopt;
    }
    return m_reply;
}

void CBrowserPageTransport::disconnect() {
    m_connected = false;
    m_topic.clear();
    m_reply.clear();
    m_page.reset();
}

std::vector<CTopLevelWindow> CBrowserPageTransport::topLevelWindows() {
    std::vector<CTopLevelWindow> windows = m_browser.topLevelWindows();
    if (m_page) {
        // The title lookup of the reply's parsing reads the top window: that is the captured page's, so
        // that the title stays the one that belongs to the address.
        const std::string text =
            m_firefox ? m_page->title + " - Mozilla Firefox" : m_page->title + " - Chromium";
        windows.insert(windows.begin(), CTopLevelWindow{text, {}, {}});
    }
    return windows;
}
