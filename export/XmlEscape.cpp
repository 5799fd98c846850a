#include "export/XmlEscape.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// What a byte asks for: copied as it is, replaced, or the start of a multibyte sequence to check.
enum ByteClass : std::uint8_t { kCopy, kReplace, kMultibyte };

constexpr std::array<std::uint8_t, 256> byteClasses(bool inAttribute) {
    std::array<std::uint8_t, 256> classes{};
    for (int byte = 0; byte < 0x20; ++byte) {
        classes[byte] = kReplace;
    }
    classes['\t'] = classes['\n'] = classes['\r'] = kCopy;
    classes['&'] = classes['<'] = classes['>'] = kReplace;
    if (inAttribute) {
        classes['"'] = kReplace;
    }
    for (int byte = 0x80; byte < 0x100; ++byte) {
        classes[byte] = kMultibyte;
    }
    return classes;
}

constexpr std::array<std::uint8_t, 256> kTextClasses = byteClasses(false);
constexpr std::array<std::uint8_t, 256> kAttributeClasses = byteClasses(true);

std::string_view asciiReplacement(char byte) {
    switch (byte) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '"':
            return "&quot;";
        default:
            return kReplacementCharacter;
    }
}

struct Sequence {
    std::size_t length;  // bytes taken, >= 1
    bool allowed;        // a character that an XML document may hold
};

// The multibyte sequence that starts at `pos`, checked against the well-formed byte ranges of UTF-8 (the
// second byte's range depends on the lead byte, which excludes overlong forms, surrogates and code points
// beyond U+10FFFF). A byte that does not start a well-formed sequence is taken alone. U+FFFE and U+FFFF
// are well-formed but not allowed in XML: they are taken whole, to be replaced once.
Sequence multibyteSequence(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[pos + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
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
        return {1, false};
    }
    if (pos + length > text.size() || byte(1) < low || byte(1) > high) {
        return {1, false};
    }
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) {
            return {1, false};
        }
    }
    const bool notACharacter = lead == 0xEF && byte(1) == 0xBF && byte(2) >= 0xBE;
    return {length, !notACharacter};
}

void appendEscaped(std::string& out, std::string_view text, const std::array<std::uint8_t, 256>& classes) {
    std::size_t copiedUpTo = 0;
    std::size_t pos = 0;
    const std::size_t size = text.size();
    while (pos < size) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        const std::uint8_t byteClass = classes[byte];
        if (byteClass == kCopy) {
            ++pos;
            continue;
        }
        std::string_view replacement;
        std::size_t length = 1;
        if (byteClass == kReplace) {
            replacement = asciiReplacement(text[pos]);
        } else {
            const Sequence sequence = multibyteSequence(text, pos);
            length = sequence.length;
            if (sequence.allowed) {
                pos += length;
                continue;
            }
            replacement = kReplacementCharacter;
        }
        out.append(text, copiedUpTo, pos - copiedUpTo);
        out.append(replacement);
        pos += length;
        copiedUpTo = pos;
    }
    out.append(text, copiedUpTo, size - copiedUpTo);
}

}  // namespace

void appendEscapedXmlText(std::string& out, std::string_view text) {
    appendEscaped(out, text, kTextClasses);
}

void appendEscapedXmlAttribute(std::string& out, std::string_view text) {
    appendEscaped(out, text, kAttributeClasses);
}
