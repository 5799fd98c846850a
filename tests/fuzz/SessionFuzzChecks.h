#pragma once

// Checks shared by the browser session fuzzers: how a reader reports a failure, and what any session it
// returns must look like.

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/CBrowserSession.h"
#include "platform/CSessionError.h"

namespace SessionFuzzChecks {

[[noreturn]] inline void fail(const char* fuzzer, const std::string& what) {
    std::fprintf(stderr, "%s: %s\n", fuzzer, what.c_str());
    std::abort();
}

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF.
inline bool isUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (text.size() - i < length) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

// A failure names the file it was given, says what was wrong and points into the input (at its end at
// most, for input that stops too early).
inline void checkError(const char* fuzzer, const CSessionError& error, const std::string& path, std::size_t size) {
    if (error.path != path) {
        fail(fuzzer, "the error names another file: " + error.path);
    }
    if (error.what.empty()) {
        fail(fuzzer, "the error says nothing");
    }
    if (error.offset < 0 || static_cast<std::size_t>(error.offset) > size) {
        fail(fuzzer, "error offset " + std::to_string(error.offset) + " outside the " + std::to_string(size) +
                         " bytes read: " + error.what);
    }
}

inline bool sameTab(const CBrowserSession::Tab& a, const CBrowserSession::Tab& b) {
    return a.url == b.url && a.title == b.title;
}

inline bool sameSession(const CBrowserSession& a, const CBrowserSession& b) {
    if (a.windows().size() != b.windows().size()) {
        return false;
    }
    for (std::size_t w = 0; w < a.windows().size(); ++w) {
        const CBrowserSession::Window& x = a.windows()[w];
        const CBrowserSession::Window& y = b.windows()[w];
        if (x.selectedTab != y.selectedTab || x.tabs.size() != y.tabs.size()) {
            return false;
        }
        for (std::size_t t = 0; t < x.tabs.size(); ++t) {
            if (!sameTab(x.tabs[t], y.tabs[t])) {
                return false;
            }
        }
    }
    const auto shownA = a.shownTab();
    const auto shownB = b.shownTab();
    return shownA.has_value() == shownB.has_value() && (!shownA || sameTab(*shownA, *shownB));
}

// Every selection names a tab that is there; titles are UTF-8; the shown tab exists exactly when some
// window has a tab, and a page title that some tab carries picks a tab with that title.
inline void checkSession(const char* fuzzer, const CBrowserSession& session) {
    const CBrowserSession::Tab* titled = nullptr;
    bool anyTab = false;
    for (const CBrowserSession::Window& window : session.windows()) {
        if (window.tabs.empty() ? window.selectedTab != 0 : window.selectedTab >= window.tabs.size()) {
            fail(fuzzer, "selected tab " + std::to_string(window.selectedTab) + " of " +
                             std::to_string(window.tabs.size()));
        }
        anyTab = anyTab || !window.tabs.empty();
        for (const CBrowserSession::Tab& tab : window.tabs) {
            if (!isUtf8(tab.title)) {
                fail(fuzzer, "a title that is not UTF-8");
            }
            if (!titled && !tab.title.empty()) {
                titled = &tab;
            }
        }
    }
    if (session.shownTab().has_value() != anyTab) {
        fail(fuzzer, anyTab ? "no tab shown from a session with tabs" : "a tab shown from a session without");
    }
    if (titled) {
        const auto shown = session.shownTab(titled->title);
        if (!shown || shown->title != titled->title) {
            fail(fuzzer, "the active page title picks no tab that carries it");
        }
    }
}

}  // namespace SessionFuzzChecks
