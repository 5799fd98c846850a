#include "desktop/CActiveBrowser.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "desktop/CChromiumSessionReader.h"
#include "desktop/CSessionFile.h"

namespace {

// Within one capture the version query and the page query see the same browsers.
constexpr auto kRefreshInterval = std::chrono::milliseconds(250);
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

// When the browser last wrote its session (-1 when it has none yet).
std::int64_t sessionWrittenNs(const CRunningBrowsers::Browser& browser) {
    std::int64_t time = CSessionFile::modifiedNs(CActiveBrowser::sessionPathOf(browser));
    if (browser.kind == CRunningBrowsers::Kind::Chromium) {
        time = std::max(time, CSessionFile::modifiedNs(
                                  CChromiumSessionReader::newestSessionFile(browser.profile + "/Sessions_Encrypted")));
    }
    return time;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string CActiveBrowser::sessionPathOf(const CRunningBrowsers::Browser& browser) {
    return browser.kind == CRunningBrowsers::Kind::Firefox
               ? browser.profile + "/sessionstore-backups/recovery.jsonlz4"
               : CChromiumSessionReader::newestSessionFile(browser.profile + "/Sessions");
}

bool CActiveBrowser::isPrivateTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle) {
    return kind == CRunningBrowsers::Kind::Firefox && endsWith(windowTitle, "Private Browsing");
}

std::string CActiveBrowser::pageTitle(CRunningBrowsers::Kind kind, const std::string& windowTitle) {
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

void CActiveBrowser::refresh() {
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
    if (m_browsers.empty()) {
        return;
    }
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

void CActiveBrowser::refreshTitle() {
    if (!m_haveDisplay || !m_chosenWindow) {
        return;
    }
    const std::uint32_t id = m_x11.windows()[*m_chosenWindow].id;
    if (!readWindows()) {
        m_haveDisplay = false;
        m_chosenWindow.reset();
        return;
    }
    // The same window when it is still there; a window closed meanwhile leaves no live title.
    m_chosenWindow.reset();
    for (std::size_t i = 0; i < m_x11.windows().size(); ++i) {
        if (m_x11.windows()[i].id == id) {
            m_chosenWindow = i;
        }
    }
}

bool CActiveBrowser::readWindows() {
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

std::optional<std::size_t> CActiveBrowser::ownerOf(const CX11Windows::Window& window) const {
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

const CRunningBrowsers::Browser* CActiveBrowser::chosen() const {
    return m_chosen ? &m_browsers[*m_chosen] : nullptr;
}

const CX11Windows::Window* CActiveBrowser::frontWindow() const {
    return m_haveDisplay && m_chosenWindow ? &m_x11.windows()[*m_chosenWindow] : nullptr;
}

std::string CActiveBrowser::livePageTitle() const {
    const CX11Windows::Window* window = frontWindow();
    return window ? pageTitle(chosen()->kind, window->title) : std::string();
}

bool CActiveBrowser::showsPrivateWindow() const {
    const CX11Windows::Window* window = frontWindow();
    return window && isPrivateTitle(chosen()->kind, window->title);
}

std::size_t CActiveBrowser::windowCount() const {
    std::size_t count = 0;
    if (m_haveDisplay && m_chosen) {
        for (const CX11Windows::Window& window : m_x11.windows()) {
            count += ownerOf(window) == m_chosen ? 1 : 0;
        }
    }
    return count;
}

std::int64_t CActiveBrowser::windowPid() const {
    const CX11Windows::Window* window = frontWindow();
    return window ? window->pid : -1;
}

std::vector<CTopLevelWindow> CActiveBrowser::topLevelWindows() const {
    std::vector<CTopLevelWindow> windows;
    if (!m_haveDisplay) {
        return windows;
    }
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
    return windows;
}
