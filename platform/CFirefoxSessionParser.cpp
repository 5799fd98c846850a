#include "platform/CFirefoxSessionParser.h"

#include <charconv>
#include <cmath>

#include "text/Cp932.h"

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The length of the UTF-8 sequence at the start of `bytes` (its first byte at least 0x80), 0 when it is
// not a valid one (overlong forms, surrogates and values past U+10FFFF are not).
std::size_t utf8Length(std::string_view bytes) {
    const jtext::Utf8Char decoded = jtext::decodeUtf8(bytes, 0);
    return decoded.length > 1 ? decoded.length : 0;
}

// A 1-based selection as a 0-based index into `count` elements; out-of-range selections pick the first.
std::size_t fromOneBased(std::int64_t selected, std::size_t count) {
    return selected >= 1 && static_cast<std::uint64_t>(selected) <= count ? static_cast<std::size_t>(selected - 1)
                                                                          : 0;
}

}  // namespace

CFirefoxSessionParser::CFirefoxSessionParser(std::string_view json, std::string path)
    : m_json(json), m_path(std::move(path)) {}

void CFirefoxSessionParser::fail(std::size_t offset, std::string what) {
    m_error = CSessionError{m_path, static_cast<std::int64_t>(offset), std::move(what)};
    throw Failed{};
}

std::optional<CBrowserSession> CFirefoxSessionParser::parse(CSessionError* error) {
    try {
        skipSpace();
        if (m_at >= m_json.size() || m_json[m_at] != '{') {
            fail(m_at, "session store is not a JSON object");
        }
        CBrowserSession session;
        std::int64_t selectedWindow = 1;
        readObject([&](const std::string& key) {
            if (key == "windows") {
                session = CBrowserSession();  // a repeated member: the last one counts
                readWindows(session);
            } else if (key == "selectedWindow") {
                selectedWindow = readSelection();
            } else {
                skipValue();
            }
        });
        skipSpace();
        if (m_at != m_json.size()) {
            fail(m_at, "text after the end of the session store");
        }
        session.setSelectedWindow(fromOneBased(selectedWindow, session.windows().size()));
        return session;
    } catch (const Failed&) {
        if (error) {
            *error = m_error;
        }
        return std::nullopt;
    }
}

void CFirefoxSessionParser::skipSpace() {
    while (m_at < m_json.size() && isSpace(m_json[m_at])) {
        ++m_at;
    }
}

bool CFirefoxSessionParser::consume(char c) {
    if (m_at < m_json.size() && m_json[m_at] == c) {
        ++m_at;
        return true;
    }
    return false;
}

void CFirefoxSessionParser::expect(char c, const char* what) {
    skipSpace();
    if (!consume(c)) {
        fail(m_at, std::string("malformed JSON: expected ") + what);
    }
}

template <typename OnMember>
void CFirefoxSessionParser::readObject(OnMember onMember) {
    expect('{', "an object");
    if (++m_depth > kMaxDepth) {
        fail(m_at - 1, "nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    skipSpace();
    if (!consume('}')) {
        do {
            skipSpace();
            if (m_at >= m_json.size() || m_json[m_at] != '"') {
                fail(m_at, "malformed JSON: expected a member name");
            }
            const std::string key = readString();
            expect(':', "':'");
            skipSpace();
            onMember(key);
            skipSpace();
        } while (consume(','));
        expect('}', "',' or '}'");
    }
    --m_depth;
}

template <typename OnElement>
void CFirefoxSessionParser::readArray(OnElement onElement) {
    expect('[', "an array");
    if (++m_depth > kMaxDepth) {
        fail(m_at - 1, "nested deeper than " + std::to_string(kMaxDepth) + " levels");
    }
    skipSpace();
    if (!consume(']')) {
        do {
            skipSpace();
            onElement();
            skipSpace();
        } while (consume(','));
        expect(']', "',' or ']'");
    }
    --m_depth;
}

std::string CFirefoxSessionParser::readString(bool keep) {
    const std::size_t start = m_at;
    ++m_at;  // the opening quote
    std::string out;
    for (;;) {
        if (m_at >= m_json.size()) {
            fail(start, "malformed JSON: unterminated string");
        }
        const char c = m_json[m_at++];
        if (c == '"') {
            return out;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            const std::size_t length = utf8Length(m_json.substr(m_at - 1));
            if (length == 0) {
                fail(m_at - 1, "malformed JSON: invalid UTF-8 in a string");
            }
            if (keep) {
                out.append(m_json.substr(m_at - 1, length));
            }
            m_at += length - 1;
            continue;
        }
        if (c != '\\') {
            if (keep) {
                out += c;
            }
            continue;
        }
        if (m_at >= m_json.size()) {
            fail(start, "malformed JSON: unterminated string");
        }
        const char escaped = m_json[m_at++];
        const auto put = [&](char decoded) {
            if (keep) {
                out += decoded;
            }
        };
        switch (escaped) {
        case '"': case '\\': case '/': put(escaped); break;
        case 'b': put('\b'); break;
        case 'f': put('\f'); break;
        case 'n': put('\n'); break;
        case 'r': put('\r'); break;
        case 't': put('\t'); break;
        case 'u': {
            const auto unit = [&]() -> std::uint32_t {
                std::uint32_t value = 0;
                for (int i = 0; i < 4; ++i) {
                    const int digit = m_at < m_json.size() ? hexValue(m_json[m_at]) : -1;
                    if (digit < 0) {
                        fail(m_at, "malformed JSON: bad \\u escape");
                    }
                    value = value * 16 + static_cast<std::uint32_t>(digit);
                    ++m_at;
                }
                return value;
            };
            std::uint32_t code = unit();
            if (code >= 0xD800 && code < 0xDC00 && m_json.substr(m_at, 2) == "\\u") {
                const std::size_t low = m_at;
                m_at += 2;
                const std::uint32_t next = unit();
                if (next >= 0xDC00 && next < 0xE000) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (next - 0xDC00);
                } else {
                    m_at = low;  // read again on its own
                }
            }
            if (keep) {
                jtext::appendUtf8(out, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
            }
            break;
        }
        default:
            // Not JSON, but Firefox's own reader and Qt's take the character as it is.
            --m_at;
            break;
        }
    }
}

std::optional<std::int64_t> CFirefoxSessionParser::readNumber() {
    const std::size_t start = m_at;
    const auto digits = [&] {
        const std::size_t from = m_at;
        while (m_at < m_json.size() && m_json[m_at] >= '0' && m_json[m_at] <= '9') {
            ++m_at;
        }
        return m_at - from;
    };
    consume('-');
    const bool leadingZero = m_at < m_json.size() && m_json[m_at] == '0';
    const std::size_t whole = digits();
    if (whole == 0 || (leadingZero && whole > 1)) {
        fail(start, "malformed JSON: bad value");
    }
    if (consume('.') && digits() == 0) {
        fail(start, "malformed JSON: bad number");
    }
    if (consume('e') || consume('E')) {
        if (!consume('+')) {
            consume('-');
        }
        if (digits() == 0) {
            fail(start, "malformed JSON: bad number");
        }
    }
    double value = 0;
    const auto [end, status] = std::from_chars(m_json.data() + start, m_json.data() + m_at, value);
    (void)end;
    constexpr double kExact = 9007199254740992.0;  // 2^53: whole numbers beyond are not exact
    if (status != std::errc() || !std::isfinite(value) || value != std::floor(value) || std::fabs(value) > kExact) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(value);
}

std::int64_t CFirefoxSessionParser::readSelection() {
    if (m_at < m_json.size() && (m_json[m_at] == '-' || (m_json[m_at] >= '0' && m_json[m_at] <= '9'))) {
        return readNumber().value_or(1);
    }
    skipValue();
    return 1;
}

void CFirefoxSessionParser::skipValue() {
    // Iterative, so that nesting costs one byte of `open` per level rather than a stack frame.
    std::string open;
    for (;;) {
        skipSpace();
        if (m_at >= m_json.size()) {
            fail(m_at, "malformed JSON: unexpected end");
        }
        const char c = m_json[m_at];
        if (c == '{' || c == '[') {
            if (m_depth + open.size() >= kMaxDepth) {
                fail(m_at, "nested deeper than " + std::to_string(kMaxDepth) + " levels");
            }
            ++m_at;
            skipSpace();
            if (!consume(c == '{' ? '}' : ']')) {
                open.push_back(c);
                if (c == '{') {
                    if (m_at >= m_json.size() || m_json[m_at] != '"') {
                        fail(m_at, "malformed JSON: expected a member name");
                    }
                    readString(false);
                    expect(':', "':'");
                }
                continue;  // the first member's or element's value
            }
        } else if (c == '"') {
            readString(false);
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            readNumber();
        } else {
            bool known = false;
            for (const std::string_view literal : {"true", "false", "null"}) {
                if (m_json.substr(m_at, literal.size()) == literal) {
                    m_at += literal.size();
                    known = true;
                    break;
                }
            }
            if (!known) {
                fail(m_at, "malformed JSON: bad value");
            }
        }
        // After a value: close what ends here, or go on to the next member or element.
        for (;;) {
            if (open.empty()) {
                return;
            }
            skipSpace();
            const char closer = open.back() == '{' ? '}' : ']';
            if (consume(closer)) {
                open.pop_back();
                continue;
            }
            if (!consume(',')) {
                fail(m_at, std::string("malformed JSON: expected ',' or '") + closer + "'");
            }
            if (open.back() == '{') {
                skipSpace();
                if (m_at >= m_json.size() || m_json[m_at] != '"') {
                    fail(m_at, "malformed JSON: expected a member name");
                }
                readString(false);
                expect(':', "':'");
            }
            break;
        }
    }
}

void CFirefoxSessionParser::countWindowOrTab() {
    if (++m_windowsAndTabs > kMaxWindowsAndTabs) {
        fail(m_at, "more than " + std::to_string(kMaxWindowsAndTabs) + " windows and tabs");
    }
}

void CFirefoxSessionParser::readWindows(CBrowserSession& session) {
    if (m_at >= m_json.size() || m_json[m_at] != '[') {
        skipValue();  // not a list: no windows
        return;
    }
    readArray([&] {
        countWindowOrTab();
        CBrowserSession::Window window;
        if (m_at < m_json.size() && m_json[m_at] == '{') {
            readWindow(window);
        } else {
            skipValue();
        }
        session.addWindow(std::move(window));
    });
}

void CFirefoxSessionParser::readWindow(CBrowserSession::Window& window) {
    std::int64_t selected = 1;
    readObject([&](const std::string& key) {
        if (key == "selected") {
            selected = readSelection();
        } else if (key == "tabs" && m_at < m_json.size() && m_json[m_at] == '[') {
            window.tabs.clear();
            // A tab keeps its place even without history, so that the selection still counts right.
            readArray([&] {
                countWindowOrTab();
                CBrowserSession::Tab tab;
                if (m_at < m_json.size() && m_json[m_at] == '{') {
                    readTab(tab);
                } else {
                    skipValue();
                }
                window.tabs.push_back(std::move(tab));
            });
        } else {
            skipValue();
        }
    });
    window.selectedTab = fromOneBased(selected, window.tabs.size());
}

void CFirefoxSessionParser::readTab(CBrowserSession::Tab& tab) {
    // The current entry is named by "index", which may follow "entries": the entries are skipped on the
    // first pass and walked again once the index is known.
    std::size_t entriesAt = std::string_view::npos;
    std::int64_t index = 1;
    readObject([&](const std::string& key) {
        if (key == "entries") {
            entriesAt = m_at < m_json.size() && m_json[m_at] == '[' ? m_at : std::string_view::npos;
            skipValue();
        } else if (key == "index") {
            index = readSelection();
        } else {
            skipValue();
        }
    });
    if (entriesAt == std::string_view::npos) {
        return;
    }
    const std::size_t resume = m_at;
    m_at = entriesAt;
    std::size_t count = 0;
    std::size_t firstAt = std::string_view::npos;
    std::size_t chosenAt = std::string_view::npos;
    readArray([&] {
        ++count;
        if (count == 1) {
            firstAt = m_at;
        }
        if (index >= 1 && static_cast<std::uint64_t>(index) == count) {
            chosenAt = m_at;
        }
        skipValue();
    });
    const std::size_t entryAt = chosenAt != std::string_view::npos ? chosenAt : firstAt;
    if (entryAt != std::string_view::npos && m_json[entryAt] == '{') {
        m_at = entryAt;
        readEntry(tab);
    }
    m_at = resume;
}

void CFirefoxSessionParser::readEntry(CBrowserSession::Tab& tab) {
    readObject([&](const std::string& key) {
        const bool isString = m_at < m_json.size() && m_json[m_at] == '"';
        if (key == "url") {
            tab.url = isString ? readString() : std::string();
        } else if (key == "title") {
            tab.title = isString ? readString() : std::string();
        }
        if (!isString || (key != "url" && key != "title")) {
            skipValue();
        }
    });
}
