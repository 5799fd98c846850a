#include "export/XmlEscape.h"

#include <cstddef>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence that starts at `pos` with a byte >= 0x80, or 0 when the bytes are
// not one (overlong forms, surrogates, code points beyond U+10FFFF) or encode U+FFFE or U+FFFF, which XML
// does not allow.
std::size_t validSequenceLength(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t codePoint = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuationByte(byte(k))) {
            return 0;
        }
        codePoint = (codePoint << 6) | (byte(k) & 0x3F);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    const bool notACharacter = codePoint == 0xFFFE || codePoint == 0xFFFF;
    if (overlong || surrogate || notACharacter || codePoint > 0x10FFFF) {
        return 0;
    }
    return length;
}

// The replacement of an ASCII byte, or an empty view when the byte is written as it is.
std::string_view asciiReplacement(unsigned char byte, bool inAttribute) {
    switch (byte) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return inAttribute ? std::string_view("&quot;") : std::string_view();
        case '\t':
        case '\n':
        case '\r':
            return {};
        default:
            return byte < 0x20 ? kReplacementCharacter : std::string_view();
    }
}

void appendEscaped(std::string& out, std::string_view text, bool inAttribute) {
    std::size_t copiedUpTo = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        std::string_view replacement;
        if (byte < 0x80) {
            replacement = asciiReplacement(byte, inAttribute);
        } else if (const std::size_t length = validSequenceLength(text, pos); length != 0) {
            pos += length;
            continue;
        } else {
            replacement = kReplacementCharacter;
        }
        if (replacement.empty()) {
            ++pos;
            continue;
        }
        out.append(text, copiedUpTo, pos - copiedUpTo);
        out.append(replacement);
        copiedUpTo = ++pos;
    }
    out.append(text, copiedUpTo, text.size() - copiedUpTo);
}

}  // namespace

void appendEscapedXmlText(std::string& out, std::string_view text) { appendEscaped(out, text, false); }

void appendEscapedXmlAttribute(std::string& out, std::string_view text) { appendEscaped(out, text, true); }
