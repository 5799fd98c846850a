// The internet shortcut and desktop link reader under libFuzzer: whatever the text, reading never crashes
// or reads out of bounds; an address it finds is not empty and no longer than the text (unescaping never
// grows it), and the same text with CR LF line ends, or with a byte order mark in front, gives the same
// address, as both kinds of file are written either way.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/CInternetShortcut.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "internet shortcut fuzzer: %s\n", what);
    std::abort();
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> url = CInternetShortcut::urlOf(text);
    if (url && (url->empty() || url->size() > size)) {
        fail(url->empty() ? "an empty address" : "an address longer than the file");
    }
    if (CInternetShortcut::urlOf(withCrLf(text)) != url) {
        fail("CR LF line ends change the address");
    }
    if (!text.starts_with(kByteOrderMark) &&
        CInternetShortcut::urlOf(std::string(kByteOrderMark) + std::string(text)) != url) {
        fail("a byte order mark changes the address");
    }
    return 0;
}
