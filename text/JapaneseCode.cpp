#include "text/JapaneseCode.h"

#include "text/Cp932.h"

namespace jtext {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;
constexpr std::string_view kKanjiIn = "\x1B$B";
constexpr std::string_view kAsciiIn = "\x1B(B";

// The JIS converters' shift state, shared by every call for the whole process.
struct JisShiftState {
    bool kanji = false;
    bool kana = false;
};
JisShiftState g_jisState;

bool inRange(int byte, int low, int high) {
    return byte >= low && byte <= high;
}

bool isShiftJisOnlyLead(int byte) {
    return inRange(byte, 0x81, 0x8D) || inRange(byte, 0x8F, 0x9F);
}

bool isUtf8WithNonAscii(std::string_view bytes) {
    bool nonAscii = false;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[pos]);
        if (byte < 0x80) {
            ++pos;
            continue;
        }
        const Utf8Char c = decodeUtf8(bytes, pos);
        if (c.length == 1)
            return false;  // an invalid byte
        nonAscii = true;
        pos += c.length;
    }
    return nonAscii;
}

// The classification of the bytes, byte by byte, until a code is certain. `next` gives the next byte, or
// -1 at the end.
template <typename NextByte>
int classifyBytes(NextByte next) {
    int result = kCodeNone;
    while (result == kCodeNone || result == kCodeEucOrShiftJis) {
        const int c = next();
        if (c < 0)
            break;
        if (c == kEsc) {
            if (next() == '$') {
                const int d = next();
                if (d == 'B' || d == '@')
                    result = kCodeJis;
            }
        } else if (isShiftJisOnlyLead(c)) {
            result = kCodeShiftJis;
        } else if (c == 0x8E) {
            const int d = next();
            if (inRange(d, 0x40, 0x7E) || inRange(d, 0x80, 0xA0) || inRange(d, 0xE0, 0xFC)) {
                result = kCodeShiftJis;
            } else if (inRange(d, 0xA1, 0xDF)) {
                result = kCodeEucOrShiftJis;
            }
        } else if (inRange(c, 0xA1, 0xDF)) {
            const int d = next();
            if (inRange(d, 0xF0, 0xFE)) {
                result = kCodeEuc;
            } else if (inRange(d, 0xA1, 0xDF)) {
                result = kCodeEucOrShiftJis;
            } else if (inRange(d, 0xE0, 0xEF)) {
                // Half-width kana then a kanji lead byte: undecided text is read on until a byte decides.
                if (result == kCodeEucOrShiftJis) {
                    for (int e; (e = next()) >= 0x40;) {
                        if (isShiftJisOnlyLead(e)) {
                            result = kCodeShiftJis;
                        } else if (inRange(e, 0xFD, 0xFE)) {
                            result = kCodeEuc;
                        }
                        if (result != kCodeEucOrShiftJis)
                            break;
                    }
                }
            } else if (inRange(d, 0x00, 0x9F)) {
                result = kCodeShiftJis;
            }
        } else if (inRange(c, 0xF0, 0xFE)) {
            result = kCodeEuc;
        } else if (inRange(c, 0xE0, 0xEF)) {
            const int d = next();
            if (inRange(d, 0x40, 0x7E) || inRange(d, 0x80, 0xA0)) {
                result = kCodeShiftJis;
            } else if (inRange(d, 0xFD, 0xFE)) {
                result = kCodeEuc;
            } else if (inRange(d, 0xA1, 0xFC)) {
                result = kCodeEucOrShiftJis;
            }
        }
    }
    return result;
}

// Writes what returns the JIS output to plain mode: shift-in out of kana, ESC ( B out of kanji.
void returnToPlain(std::string& out) {
    if (g_jisState.kana)
        out.push_back(static_cast<char>(kShiftIn));
    if (g_jisState.kanji)
        out.append(kAsciiIn);
    g_jisState = {};
}

// Applies an escape sequence at the start of `rest`; returns its length, or 0 when it is none we know.
std::size_t applyEscape(std::string_view rest) {
    struct Sequence {
        std::string_view bytes;
        bool kanji;
        bool kana;
    };
    static constexpr Sequence kSequences[] = {
        {"\x1B$@", true, false},  {"\x1B&@", true, false},  {"\x1B$B", true, false}, {"\x1B(J", false, false},
        {"\x1B(H", false, false}, {"\x1B(B", false, false}, {"\x1B(I", false, true}, {"\x1B$(D", true, false},
    };
    for (const Sequence& sequence : kSequences) {
        if (rest.substr(0, sequence.bytes.size()) == sequence.bytes) {
            g_jisState = {sequence.kanji, sequence.kana};
            return sequence.bytes.size();
        }
    }
    return 0;
}

void appendPair(std::string& out, unsigned code) {
    out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

int detectJapaneseCode(std::string_view bytes) {
    if (isUtf8WithNonAscii(bytes))
        return kCodeUtf8;
    std::size_t pos = 0;
    return classifyBytes(
        [&]() -> int { return pos < bytes.size() ? static_cast<unsigned char>(bytes[pos++]) : -1; });
}

int detectJapaneseCode(std::FILE* file) {
    // The UTF-8 check reads the file in blocks and stops at the first invalid sequence; a sequence cut by
    // a block boundary is carried into the next block. Then the classification reads from the start.
    const long start = std::ftell(file);
    std::string block;
    char buffer[65536];
    bool valid = true;
    bool nonAscii = false;
    for (std::size_t got; valid && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        block.append(buffer, got);
        const bool atEnd = got < sizeof buffer;
        std::size_t pos = 0;
        while (pos < block.size()) {
            const auto byte = static_cast<unsigned char>(block[pos]);
            if (byte < 0x80) {
                ++pos;
                continue;
            }
            const Utf8Char c = decodeUtf8(block, pos);
            if (c.length == 1) {
                if (!atEnd && block.size() - pos < 4)
                    break;  // possibly cut: decide with the next block
                valid = false;
                break;
            }
            nonAscii = true;
            pos += c.length;
        }
        block.erase(0, pos);
    }
    if (valid && !block.empty())
        valid = false;  // a sequence cut off by the end of the file
    std::fseek(file, start < 0 ? 0 : start, SEEK_SET);
    if (valid && nonAscii)
        return kCodeUtf8;
    const int code = classifyBytes([file]() -> int { return std::getc(file); });
    std::fseek(file, start < 0 ? 0 : start, SEEK_SET);
    return code;
}

int detectLineEnd(std::string_view bytes) {
    const std::size_t pos = bytes.find_first_of("\r\n");
    if (pos == std::string_view::npos)
        return kLineEndNone;
    if (bytes[pos] == '\n')
        return kLineEndLf;
    return pos + 1 < bytes.size() && bytes[pos + 1] == '\n' ? kLineEndCrLf : kLineEndCr;
}

int detectLineEnd(std::FILE* file) {
    // Only the bytes up to the first line end (and the one after a CR) are needed.
    const long start = std::ftell(file);
    std::string head;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        head.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
        if (c == '\r') {
            if ((c = std::fgetc(file)) != EOF)
                head.push_back(static_cast<char>(c));
            break;
        }
    }
    if (start >= 0)
        std::fseek(file, start, SEEK_SET);
    return detectLineEnd(head);
}

int jisToShiftJis(std::string_view source, std::string& out) {
    out.clear();
    int converted = 0;
    for (std::size_t pos = 0; pos < source.size();) {
        const auto c = static_cast<unsigned char>(source[pos]);
        if (c == kEsc) {
            if (const std::size_t length = applyEscape(source.substr(pos))) {
                pos += length;
                continue;
            }
        } else if (c == kShiftOut) {
            g_jisState = {false, true};
            ++pos;
            continue;
        } else if (c == kShiftIn) {
            g_jisState = {};
            ++pos;
            continue;
        } else if (g_jisState.kanji && pos + 1 < source.size()) {
            const unsigned jis = c << 8 | static_cast<unsigned char>(source[pos + 1]);
            const unsigned sjis = jisToShiftJis(static_cast<std::uint16_t>(jis));
            if (sjis != 0 && sjis != jis) {
                appendPair(out, sjis);
                ++converted;
                pos += 2;
                continue;
            }
        } else if (g_jisState.kana && inRange(c, 0x21, 0x5F)) {
            // Only the 7-bit images of half-width kana move up; line ends and controls stay as they are.
            out.push_back(static_cast<char>(c + 0x80));
            ++pos;
            continue;
        }
        out.push_back(static_cast<char>(c));
        ++pos;
    }
    return converted;
}

int shiftJisToJis(std::string_view source, std::string& out) {
    out.clear();
    int converted = 0;
    for (std::size_t pos = 0; pos < source.size();) {
        const auto c = static_cast<unsigned char>(source[pos]);
        if (isLeadByte(c) && pos + 1 < source.size()) {
            const unsigned sjis = c << 8 | static_cast<unsigned char>(source[pos + 1]);
            const unsigned jis = shiftJisToJis(static_cast<std::uint16_t>(sjis));
            if (jis != 0 && jis != sjis) {
                if (g_jisState.kana)
                    out.push_back(static_cast<char>(kShiftIn));
                g_jisState.kana = false;
                if (!g_jisState.kanji)
                    out.append(kKanjiIn);
                g_jisState.kanji = true;
                appendPair(out, jis);
                ++converted;
            } else {
                returnToPlain(out);
                out.append(source.substr(pos, 2));
            }
            pos += 2;
        } else if (isHalfWidthKatakana(c)) {
            if (!g_jisState.kana) {
                // Back to ASCII before shifting out, so that shift-in later returns to ASCII, not kanji.
                if (g_jisState.kanji)
                    out.append(kAsciiIn);
                out.push_back(static_cast<char>(kShiftOut));
                g_jisState = {false, true};
            }
            out.push_back(static_cast<char>(c & 0x7F));
            ++pos;
        } else {
            returnToPlain(out);
            out.push_back(static_cast<char>(c));
            ++pos;
        }
    }
    returnToPlain(out);
    return converted;
}

int eucToShiftJis(std::string_view source, std::string& out) {
    out.clear();
    int converted = 0;
    for (std::size_t pos = 0; pos < source.size();) {
        const auto c = static_cast<unsigned char>(source[pos]);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++pos;
        } else if (c == 0x8E && pos + 1 < source.size()) {
            out.push_back(source[pos + 1]);  // half-width katakana
            pos += 2;
        } else if (c == 0x8F) {
            ++pos;  // the JIS X 0212 prefix: the two bytes after it are read as a JIS X 0208 pair
        } else {
            const unsigned jis =
                pos + 1 < source.size()
                    ? ((c & 0x7F) << 8 | (static_cast<unsigned char>(source[pos + 1]) & 0x7F))
                    : 0;
            if (const unsigned sjis = jisToShiftJis(static_cast<std::uint16_t>(jis))) {
                appendPair(out, sjis);
                ++converted;
                pos += 2;
            } else {
                out.push_back(static_cast<char>(c));
                ++pos;
            }
        }
    }
    return converted;
}

void shiftJisToEuc(std::string_view source, std::string& out) {
    out.clear();
    for (std::size_t pos = 0; pos < source.size();) {
        const auto c = static_cast<unsigned char>(source[pos]);
        if (isLeadByte(c) && pos + 1 < source.size()) {
            const unsigned sjis = c << 8 | static_cast<unsigned char>(source[pos + 1]);
            if (const unsigned jis = shiftJisToJis(static_cast<std::uint16_t>(sjis))) {
                appendPair(out, jis | 0x8080);
            } else {
                out.append(source.substr(pos, 2));  // no JIS form (user-defined, IBM extensions)
            }
            pos += 2;
        } else if (isHalfWidthKatakana(c)) {
            out.push_back(static_cast<char>(0x8E));
            out.push_back(static_cast<char>(c));
            ++pos;
        } else {
            out.push_back(static_cast<char>(c));
            ++pos;
        }
    }
}

void resetJisShiftState() {
    g_jisState = {};
}

}  // namespace jtext
