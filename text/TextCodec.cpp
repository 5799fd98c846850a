#include "text/TextCodec.h"

#include <cstring>

#include "text/Cp932.h"
#include "text/JapaneseCode.h"

namespace jtext {
namespace {

// Encodes without checking what the code can hold.
std::string encodeUnchecked(std::string_view utf8, int code) {
    if (code == kCodeUtf8 || code == kCodeNone)
        return std::string(utf8);
    const std::string sjis = utf8ToCp932(utf8);
    std::string out;
    if (code == kCodeJis) {
        shiftJisToJis(sjis, out);
        return out;
    }
    if (code == kCodeEuc) {
        shiftJisToEuc(sjis, out);
        return out;
    }
    return sjis;
}

bool readsBack(std::string_view utf8, int code, const std::string& encoded) {
    if (code == kCodeUtf8 || code == kCodeNone)
        return true;
    if (code == kCodeJis)
        resetJisShiftState();
    return decodeText(encoded, code) == utf8;
}

}  // namespace

int textCodeOf(std::string_view bytes) {
    const int first = detectJapaneseCode(bytes);
    const int settled = settleJapaneseCode(bytes, first);
    return settled == kCodeEucOrShiftJis ? kCodeShiftJis : settled;
}

std::string decodeText(std::string_view bytes, int code) {
    std::string sjis;
    switch (code) {
        case kCodeUtf8:
        case kCodeNone:
            return std::string(bytes);
        case kCodeJis:
            jisToShiftJis(bytes, sjis);
            return cp932ToUtf8(sjis);
        case kCodeEuc:
            eucToShiftJis(bytes, sjis);
            return cp932ToUtf8(sjis);
        default:
            return cp932ToUtf8(bytes);
    }
}

bool isCleanlyDecoded(std::string_view decoded) {
    for (std::size_t pos = 0; pos < decoded.size();) {
        if (static_cast<unsigned char>(decoded[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const std::size_t length = decodeUtf8(decoded, pos).length;
        if (length == 1)
            return false;
        pos += length;
    }
    return true;
}

bool encodeText(std::string_view utf8, int code, std::string& out, std::size_t* badOffset) {
    out = encodeUnchecked(utf8, code);
    if (readsBack(utf8, code, out))
        return true;
    // Find the first character that does not survive on its own; the JIS shift state starts plain for
    // every character, as every encoded call ends in plain mode.
    std::size_t pos = 0;
    for (; pos < utf8.size();) {
        const std::size_t length = decodeUtf8(utf8, pos).length;
        const std::string_view one = utf8.substr(pos, length);
        if (!readsBack(one, code, encodeUnchecked(one, code)))
            break;
        pos += length;
    }
    if (badOffset)
        *badOffset = pos < utf8.size() ? pos : 0;
    return false;
}

std::vector<LineSpan> splitLines(std::string_view bytes) {
    std::vector<LineSpan> lines;
    lines.reserve(bytes.size() / 40 + 1);
    std::size_t begin = 0;
    const char* data = bytes.data();
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    while (pos < size) {
        const char c = data[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        if (c == '\n') {
            lines.push_back({begin, pos - begin, kLineEndLf});
            ++pos;
        } else if (pos + 1 < size && data[pos + 1] == '\n') {
            lines.push_back({begin, pos - begin, kLineEndCrLf});
            pos += 2;
        } else {
            lines.push_back({begin, pos - begin, kLineEndCr});
            ++pos;
        }
        begin = pos;
    }
    lines.push_back({begin, size - begin, kLineEndNone});
    return lines;
}

std::string_view lineEndBytes(int lineEnd) {
    switch (lineEnd) {
        case kLineEndCrLf:
            return "\r\n";
        case kLineEndLf:
            return "\n";
        case kLineEndCr:
            return "\r";
        default:
            return "";
    }
}

bool looksBinary(std::string_view bytes) {
    return std::memchr(bytes.data(), '\0', bytes.size()) != nullptr;
}

const char* codeName(int code) {
    switch (code) {
        case kCodeShiftJis:
            return "Shift-JIS";
        case kCodeJis:
            return "JIS";
        case kCodeEuc:
            return "EUC-JP";
        case kCodeUtf8:
            return "UTF-8";
        default:
            return "ASCII";
    }
}

}  // namespace jtext
