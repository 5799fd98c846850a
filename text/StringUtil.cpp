#include "text/StringUtil.h"

#include <algorithm>
#include <cstdio>

#include "text/Cp932.h"

namespace jtext {

void splitAtDelimiters(std::string_view text, std::string_view delimiters, std::vector<std::string>& out) {
    auto isDelimiter = [&](char c) { return delimiters.find(c) != std::string_view::npos; };
    std::size_t pos = 0;
    do {
        std::size_t end = pos;
        while (end < text.size() && !isDelimiter(text[end]))
            ++end;
        out.emplace_back(text.substr(pos, end - pos));
        pos = end;
        while (pos < text.size() && isDelimiter(text[pos]))
            ++pos;
    } while (pos < text.size());
}

std::string join(const std::vector<std::string>& pieces, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out.append(separator);
        out.append(pieces[i]);
    }
    return out;
}

std::string lastCharacter(std::string_view text) {
    if (text.empty())
        return {};
    // The last character starts at the last byte that is not a continuation byte, when the sequence from
    // there is valid and reaches the end; otherwise the last byte stands alone.
    std::size_t start = text.size() - 1;
    while (start > 0 && text.size() - start < 4 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) {
        --start;
    }
    if (decodeUtf8(text, start).length == text.size() - start)
        return std::string(text.substr(start));
    return std::string(text.substr(text.size() - 1));
}

int leadByteAt(std::string_view utf8, std::size_t index) {
    if (index >= utf8.size())
        return -1;
    // Every byte that is not a continuation byte starts a character, so no scan from the start is needed.
    return decodeUtf8(utf8, index).length > 1 ? 1 : 0;
}

int cp932LeadByteAt(std::string_view bytes, std::size_t index) {
    if (index >= bytes.size())
        return -1;
    std::size_t pos = 0;
    while (pos < index) {
        pos += isLeadByte(static_cast<unsigned char>(bytes[pos])) ? 2 : 1;
    }
    if (pos > index)
        return 0;  // the byte is the trail byte of a double-byte character
    return isLeadByte(static_cast<unsigned char>(bytes[index])) ? 1 : 0;
}

std::string thousandsFormat(double value) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.10g", value);
    std::string reversed(printed);
    std::reverse(reversed.begin(), reversed.end());
    const std::size_t point = reversed.find('.');
    const std::size_t integerStart = point == std::string::npos ? 0 : point + 1;
    std::string out = reversed.substr(0, integerStart);
    for (std::size_t i = integerStart; i < reversed.size(); ++i) {
        const std::size_t counted = i - integerStart;
        const char c = reversed[i];
        if (counted > 0 && counted % 3 == 0 && c >= '0' && c <= '9')
            out.push_back(',');
        out.push_back(c);
    }
    std::reverse(out.begin(), out.end());
    return out;
}

}  // namespace jtext
