#include "catalogfile/Utf16.h"

#include "text/Cp932.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
// The surrogates that stand for single bytes outside any UTF-8 character.
bool isEscapedByte(char32_t unit) {
    return unit >= 0xDC80 && unit <= 0xDCFF;
}

void appendUnit(std::string& out, char32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

}  // namespace

std::string utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t units = bytes.size() / 2;
    auto unitAt = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        char32_t unit = unitAt(i);
        if (isHighSurrogate(unit) && i + 1 < units && isLowSurrogate(unitAt(i + 1))) {
            char32_t low = unitAt(++i);
            jtext::appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        } else if (isEscapedByte(unit)) {
            out.push_back(static_cast<char>(unit - 0xDC00));
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            jtext::appendUtf8(out, kReplacement);
        } else {
            jtext::appendUtf8(out, unit);
        }
    }
    return out;
}

std::string utf8ToUtf16Le(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() * 2);
    for (std::size_t pos = 0; pos < utf8.size();) {
        jtext::Utf8Char c = jtext::decodeUtf8(utf8, pos);
        pos += c.length;
        if (c.codePoint >= 0x10000) {
            char32_t v = c.codePoint - 0x10000;
            appendUnit(out, 0xD800 + (v >> 10));
            appendUnit(out, 0xDC00 + (v & 0x3FF));
        } else {
            appendUnit(out, c.codePoint);
        }
    }
    return out;
}
