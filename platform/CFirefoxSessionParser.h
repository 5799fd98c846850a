#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CBrowserSession.h"
#include "platform/CSessionError.h"

// Reads Firefox's session store JSON in one pass without building a document: only the windows, their
// tabs and selections, and each tab's current history entry (its URL and title) are kept; everything else
// is checked as JSON and skipped. Memory is the session kept, bounded by kMaxWindowsAndTabs and by the
// bytes of its strings, plus a nesting stack of at most kMaxDepth levels. A malformed document, one nested
// deeper or one with more windows and tabs gives an error with its byte offset.
class CFirefoxSessionParser final {
public:
    static constexpr std::size_t kMaxDepth = 512;
    static constexpr std::size_t kMaxWindowsAndTabs = 100000;

    CFirefoxSessionParser(std::string_view json, std::string path);

    std::optional<CBrowserSession> parse(CSessionError* error);

private:
    class Failed {};  // unwinds to parse() once m_error is set

    [[noreturn]] void fail(std::size_t offset, std::string what);
    void skipSpace();
    bool consume(char c);
    void expect(char c, const char* what);
    // Walks an object's members, calling onMember(key) with the position at the member's value; the
    // callback must read or skip that value.
    template <typename OnMember>
    void readObject(OnMember onMember);
    template <typename OnElement>
    void readArray(OnElement onElement);
    // A string at the position (its opening quote), checked; decoded only with `keep`.
    std::string readString(bool keep = true);
    // A JSON number; nullopt when it is not a whole number that a selection could hold.
    std::optional<std::int64_t> readNumber();
    // A 1-based selection: a whole number, else 1 (as Firefox's own reader treats a missing one).
    std::int64_t readSelection();
    void skipValue();
    void countWindowOrTab();

    void readWindows(CBrowserSession& session);
    void readWindow(CBrowserSession::Window& window);
    void readTab(CBrowserSession::Tab& tab);
    void readEntry(CBrowserSession::Tab& tab);

    std::string_view m_json;
    std::string m_path;
    std::size_t m_at = 0;
    std::size_t m_depth = 0;
    std::size_t m_windowsAndTabs = 0;
    CSessionError m_error;
};
