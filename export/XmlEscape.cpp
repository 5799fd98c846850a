#include "export/XmlEscape.h"

#include <cstddef>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

struct Sequence {
    std::size_t length;  // bytes taken, >= 1
    bool allowed;        // a character that an XML document may hold
};

// The multibyte sequence that starts at `pos` with a byte >= 0x80. A byte that does not start a complete
// sequence is taken alone; a complete sequence that is no character XML allows (overlong forms, surrogates,
// code points beyond U+10FFFF, U+FFFE and U+FFFF) is taken whole, to be replaced once.
Sequence multibyteSequence(std::string_view text, std::size_t pos) {
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
        return {1, false};
    }
    if (pos + length > text.size()) {
        return {1, false};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (!isContinuationByte(byte(k))) {
            return {1, false};
        }
        codePoint = (codePoint << 6) | (byte(k) & 0x3F);
    }
    const bool overlong = (length == 3 && codePoint < 0x800) || (length == 4 && codePoint < 0x10000);
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    const bool notACharacter = codePoint == 0xFFFE || codePoint == 0xFFFF;
    return {length, !(overlong || surrogate || notACharacter || codePoint > 0x10FFFF)};
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
        std::size_t length = 1;
        if (byte < 0x80) {
            replacement = asciiReplacement(byte, inAttribute);
        } else {
            const Sequence sequence = multibyteSequence(text, pos);
            length = sequence.length;
            replacement = sequence.allowed ? std::string_view() : kReplacementCharacter;
        }
        if (replacement.empty()) {
            pos += length;
            continue;
        }
        out.append(text, copiedUpTo, pos - copiedUpTo);
        out.append(replacement);
        pos += length;
        copiedUpTo = pos;
    }
    out.append(text, copiedUpTo, text.size() - copiedUpTo);
}

}  // namespace

void appendEscapedXmlText(std::string& out, std::string_view text) { appendEscaped(out, text, false); }

void appendEscapedXmlAttribute(std::string& out, std::string_view text) { appendEscaped(out, text, true); }
