#include "desktop/CLinuxBrowserTransport.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "desktop/CChromiumSessionReader.h"
#include "desktop/CFirefoxSessionReader.h"
#include "desktop/CSessionFile.h"
#include "platform/CBrowserCapture.h"

namespace {

// Within one capture the version query and the page query see the same browsers.
constexpr auto kRefreshInterval = std::chrono::milliseconds(250);
// A session file that fails to read is tried again: the browser may have been replacing it.
constexpr int kReadAttempts = 3;
constexpr auto kRetryDelay = std::chrono::milliseconds(40);
// An X server that does not answer (stopped, or reached over a dead network link) must not hold the
// capture: the windows are read on a thread of their own and given up after this long.
constexpr auto kWindowsLimit = std::chrono::seconds(2);

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string sessionPathOf(const CRunningBrowsers::Browser& browser) {
    return browser.kind == CRunningBrowsers::Kind::Firefox
               ? browser.profile + "/sessionstore-backups/recovery.jsonlz4"
               : CChromiumSessionReader::newestSessionFile(browser.profile + "/Sessions");
}

// When the browser last wrote its session (-1 when it has none yet).
std::int64_t sessionWrittenNs(const CRunningBrowsers::Browser& browser) {
    std::int64_t time = CSessionFile::modifiedNs(sessionPathOf(browser));
    if (browser.kind == CRunningBrowsers::Kind::Chromium) {
        time = std::max(time, CSessionFile::modifiedNs(
                                  CChromiumSessionReader::newestSessionFile(browser.profile + "/Sessions_Encrypted")));
    }
    return time;
}

const char* serviceOf(CRunningBrowsers::Kind kind) {
    return kind == CRunningBrowsers::Kind::Firefox ? CLinuxBrowserTransport::kFirefoxService
                                                   : CLinuxBrowserTransport::kChromiumService;
}

}  // namespace

std::string CLinuxBrowserTransport::pageTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle) {
    if (kind == CRunningBrowsers::Kind::Firefox) {
        // "Page — Mozilla Firefox" (an em dash; older versions and other builds use " - " or " – ").
        for (const char* separator : {" \u2014 ", " \u2013 ", " - "}) {
            const auto at = windowTitle.rfind(separator);
            if (at != std::string::npos && windowTitle.find("Firefox", at) != std::string::npos) {
                return windowTitle.substr(0, at);
            }
        }
        return windowTitle.find("Firefox") != std::string::npos ? std::string() : windowTitle;
    }
    const auto at = windowTitle.rfind(" - ");
    return at == std::string::npos ? windowTitle : windowTitle.substr(0, at);
}

void CLinuxBrowserTransport::refresh() {
    const auto now = std::chrono::steady_clock::now();
    if (m_refreshed != std::chrono::steady_clock::time_point{} && now - m_refreshed < kRefreshInterval) {
        return;
    }
    m_browsers = CRunningBrowsers::find(environment("HOME"), environment("XDG_CONFIG_HOME"));
    m_haveDisplay = !m_browsers.empty() && readWindows();
    // Counted from the end, so that a slow display is not asked again for every service of the table.
    m_refreshed = std::chrono::steady_clock::now();
    m_chosen.reset();
    m_chosenWindow.reset();
    m_session.reset();
    if (m_browsers.empty()) {
        return;
    }
    // The browser of the active window, else the one with the topmost window, else the one whose session
    // changed last.
    if (m_haveDisplay) {
        const auto& windows = m_x11.windows();
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (windows[i].id == m_x11.activeWindow() && ownerOf(windows[i])) {
                m_chosen = ownerOf(windows[i]);
                m_chosenWindow = i;
            }
        }
        for (std::size_t i = 0; i < windows.size() && !m_chosen; ++i) {
            if (const auto owner = ownerOf(windows[i])) {
                m_chosen = owner;
                m_chosenWindow = i;
            }
        }
    }
    if (!m_chosen) {
        std::int64_t latest = -2;
        for (std::size_t i = 0; i < m_browsers.size(); ++i) {
            const std::int64_t time = sessionWrittenNs(m_browsers[i]);
            if (time > latest) {
                latest = time;
                m_chosen = i;
            }
        }
    }
}

bool CLinuxBrowserTransport::readWindows() {
    // The reader owns its state together with the thread, so a thread left waiting on a silent server
    // touches nothing of ours when it ends.
    auto windows = std::make_shared<CX11Windows>();
    std::packaged_task<bool()> task([windows] { return windows->read(); });
    std::future<bool> done = task.get_future();
    std::thread(std::move(task)).detach();
    if (done.wait_for(kWindowsLimit) != std::future_status::ready || !done.get()) {
        return false;
    }
    m_x11 = *windows;
    return true;
}

std::optional<std::size_t> CLinuxBrowserTransport::ownerOf(const CX11Windows::Window& window) const {
    for (std::size_t i = 0; i < m_browsers.size(); ++i) {
        if (window.pid > 0 && window.pid == m_browsers[i].pid) {
            return i;
        }
    }
    // A sandboxed browser reports a pid of its own namespace: its window class still names it.
    const std::string classes = lower(window.instance + " " + window.wmClass);
    for (std::size_t i = 0; i < m_browsers.size(); ++i) {
        if (classes.find(m_browsers[i].name) != std::string::npos) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<CBrowserSession> CLinuxBrowserTransport::readSession(const CRunningBrowsers::Browser& browser,
                                                                   std::string& failure) const {
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
    failure = error.message();
    return std::nullopt;
}

bool CLinuxBrowserTransport::prepareWindowInfo() {
    const CRunningBrowsers::Browser& browser = m_browsers[*m_chosen];
    m_session = readSession(browser, m_failure);
    if (!m_session) {
        return false;
    }
    const std::string activeTitle =
        m_chosenWindow ? pageTitle(browser.kind, m_x11.windows()[*m_chosenWindow].title) : std::string();
    const auto tab = m_session->shownTab(activeTitle);
    if (!tab) {
        m_failure = sessionPathOf(browser) + ": no open tab";
        return false;
    }
    // A session written before the page had its title carries none; the window shows it.
    const std::string& title = tab->title.empty() ? activeTitle : tab->title;
    m_reply = "\"" + tab->url + "\",\"" + title + "\",\"\"";
    return true;
}

bool CLinuxBrowserTransport::connect(const std::string& service, const std::string& topic) {
    disconnect();
    refresh();
    if (!m_chosen) {
        m_failure.clear();
        return false;
    }
    const CRunningBrowsers::Browser& browser = m_browsers[*m_chosen];
    if (service != serviceOf(browser.kind)) {
        return false;
    }
    m_failure.clear();
    if (topic == CBrowserCapture::kVersionTopic) {
        const std::uint32_t version = browser.kind == CRunningBrowsers::Kind::Chromium ? kChromiumReplyVersion : 0;
        m_reply.assign({static_cast<char>(version & 0xFF), static_cast<char>((version >> 8) & 0xFF),
                        static_cast<char>((version >> 16) & 0xFF), static_cast<char>(version >> 24)});
    } else if (topic != CBrowserCapture::kWindowInfoTopic || !prepareWindowInfo()) {
        return false;
    }
    m_topic = topic;
    m_connected = true;
    return true;
}

std::optional<std::string> CLinuxBrowserTransport::request(const std::string& item, int /*timeoutMs*/) {
    // The answer was read when the conversation opened, within the time the reading allows.
    const bool known = (m_topic == CBrowserCapture::kVersionTopic && item == CBrowserCapture::kVersionTopic) ||
                       (m_topic == CBrowserCapture::kWindowInfoTopic && item == CBrowserCapture::kWindowInfoItem);
    if (!m_connected || !known) {
        return std::nullopt;
    }
    return m_reply;
}

void CLinuxBrowserTransport::disconnect() {
    m_connected = false;
    m_topic.clear();
    m_reply.clear();
}

std::vector<CTopLevelWindow> CLinuxBrowserTransport::topLevelWindows() {
    std::vector<CTopLevelWindow> windows;
    if (m_haveDisplay) {
        for (const CX11Windows::Window& window : m_x11.windows()) {
            CTopLevelWindow shown{window.title, window.wmClass, {}};
            // Firefox titled its windows "Page - Mozilla Firefox" where the capture was first written.
            const auto owner = ownerOf(window);
            if (owner && m_browsers[*owner].kind == CRunningBrowsers::Kind::Firefox) {
                const std::string page = pageTitle(CRunningBrowsers::Kind::Firefox, window.title);
                shown.text = page.empty() ? "Mozilla Firefox" : page + " - Mozilla Firefox";
            }
            windows.push_back(std::move(shown));
        }
    } else if (m_chosen && m_session) {
        // No display to ask (a Wayland session, a console): the window the browser would show.
        if (const auto tab = m_session->shownTab()) {
            const bool firefox = m_browsers[*m_chosen].kind == CRunningBrowsers::Kind::Firefox;
            windows.push_back({tab->title + (firefox ? " - Mozilla Firefox" : " - Chromium"), {}, {}});
        }
    }
    return windows;
}
