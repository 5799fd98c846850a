// The Firefox session store parser under libFuzzer: whatever the bytes, parsing never crashes, hangs,
// recurses without bound or reads out of bounds. A failure names the file and an offset inside it. A
// session read has valid selections, UTF-8 texts no longer than the input (decoding never grows a string),
// at most the allowed number of windows and tabs, and survives the way back: written out again as JSON
// (non-ASCII as \u escapes or as UTF-8, by the input's parity) it parses to the same session.

#include <cstdint>
#include <string>
#include <string_view>

#include "SessionFuzzChecks.h"
#include "platform/CFirefoxSessionParser.h"

namespace {

constexpr const char* kFuzzer = "firefox session fuzzer";
constexpr const char* kPath = "/fuzz/recovery.json";

void appendEscape(std::string& out, std::uint32_t unit) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) {
        out += kHex[(unit >> shift) & 0xF];
    }
}

// A JSON string of UTF-8 `text`; with `escapeAll` every character past ASCII as \u escapes.
std::string quoted(std::string_view text, bool escapeAll) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead == '"' || lead == '\\') {
                out += '\\';
                out += static_cast<char>(lead);
            } else if (lead < 0x20) {
                appendEscape(out, lead);
            } else {
                out += static_cast<char>(lead);
            }
            ++i;
            continue;
        }
        const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (!escapeAll) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        std::uint32_t code = lead & (0xFF >> (length + 1));
        for (std::size_t k = 1; k < length; ++k) {
            code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (code >= 0x10000) {
            appendEscape(out, 0xD800 + ((code - 0x10000) >> 10));
            appendEscape(out, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            appendEscape(out, code);
        }
        i += length;
    }
    return out + "\"";
}

// The session as Firefox would store it; `selectedWindow` is 0-based.
std::string written(const CBrowserSession& session, std::size_t selectedWindow, bool escapeAll) {
    std::string out = "{\"windows\":[";
    for (std::size_t w = 0; w < session.windows().size(); ++w) {
        const CBrowserSession::Window& window = session.windows()[w];
        out += w ? ",{\"tabs\":[" : "{\"tabs\":[";
        for (std::size_t t = 0; t < window.tabs.size(); ++t) {
            out += t ? "," : "";
            out += "{\"entries\":[{\"url\":" + quoted(window.tabs[t].url, escapeAll) +
                   ",\"title\":" + quoted(window.tabs[t].title, escapeAll) + "}],\"index\":1}";
        }
        out += "],\"selected\":" + std::to_string(window.selectedTab + 1) + "}";
    }
    return out + "],\"selectedWindow\":" + std::to_string(selectedWindow + 1) + "}";
}

// The window whose selected tab is the one shown (the first such), so that the way back keeps it.
std::size_t shownWindow(const CBrowserSession& session) {
    const auto shown = session.shownTab();
    for (std::size_t w = 0; shown && w < session.windows().size(); ++w) {
        const CBrowserSession::Window& window = session.windows()[w];
        if (!window.tabs.empty() && SessionFuzzChecks::sameTab(window.tabs[window.selectedTab], *shown)) {
            return w;
        }
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    CSessionError error;
    const auto session = CFirefoxSessionParser(json, kPath).parse(&error);
    if (!session) {
        SessionFuzzChecks::checkError(kFuzzer, error, kPath, size);
        return 0;
    }
    SessionFuzzChecks::checkSession(kFuzzer, *session);
    std::size_t windowsAndTabs = 0;
    std::size_t textBytes = 0;
    for (const CBrowserSession::Window& window : session->windows()) {
        windowsAndTabs += 1 + window.tabs.size();
        for (const CBrowserSession::Tab& tab : window.tabs) {
            if (!SessionFuzzChecks::isUtf8(tab.url)) {
                SessionFuzzChecks::fail(kFuzzer, "a URL that is not UTF-8");
            }
            textBytes += tab.url.size() + tab.title.size();
        }
    }
    if (windowsAndTabs > CFirefoxSessionParser::kMaxWindowsAndTabs) {
        SessionFuzzChecks::fail(kFuzzer, std::to_string(windowsAndTabs) + " windows and tabs kept");
    }
    if (textBytes > size) {
        SessionFuzzChecks::fail(kFuzzer, std::to_string(textBytes) + " bytes of text from " + std::to_string(size));
    }
    const std::string back = written(*session, shownWindow(*session), size % 2 == 1);
    CSessionError backError;
    const auto reread = CFirefoxSessionParser(back, kPath).parse(&backError);
    if (!reread) {
        SessionFuzzChecks::fail(kFuzzer, "the session written back does not parse: " + backError.message());
    }
    if (!SessionFuzzChecks::sameSession(*session, *reread)) {
        SessionFuzzChecks::fail(kFuzzer, "the session written back parses to another one");
    }
    return 0;
}
