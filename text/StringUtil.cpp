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
    const int length = std::snprintf(printed, sizeof printed, "%.10g", value);
    const std::string_view text(printed, length > 0 ? static_cast<std::size_t>(length) : 0);
    // The digits before the decimal point (or the exponent) get "," between groups of three.
    const std::size_t sign = !text.empty() && text[0] == '-' ? 1 : 0;
    std::size_t digitsEnd = sign;
    while (digitsEnd < text.size() && text[digitsEnd] >= '0' && text[digitsEnd] <= '9')
        ++digitsEnd;
    const std::size_t digits = digitsEnd - sign;
    std::string out;
    out.reserve(text.size() + digits / 3);
    out.append(text.substr(0, sign));
    for (std::size_t i = 0; i < digits; ++i) {
        if (i > 0 && (digits - i) % 3 == 0)
            out.push_back(',');
        out.push_back(text[sign + i]);
    }
    out.append(text.substr(digitsEnd));
    return out;
}

}  // namespace jtext
