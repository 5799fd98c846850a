#include "text/Cp932.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "text/Cp932Table.h"

namespace jtext {
namespace {

constexpr char32_t kEscapedByteBase = 0xDC00;
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint16_t kNoCode = 0xFFFF;  // never a code page 932 code: 0xFF is not a lead byte

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

bool isEscapedByte(char32_t codePoint) {
    return codePoint >= 0xDC80 && codePoint <= 0xDCFF;
}

// Code point -> code for the whole BMP, built once from the generated pair list.
const std::array<std::uint16_t, 0x10000>& encodeTable() {
    static const std::unique_ptr<std::array<std::uint16_t, 0x10000>> table = [] {
        auto built = std::make_unique<std::array<std::uint16_t, 0x10000>>();
        built->fill(kNoCode);
        for (unsigned i = 0; i < cp932table::kEncodeCount; ++i) {
            (*built)[cp932table::kEncode[i].codePoint] = cp932table::kEncode[i].code;
        }
        return built;
    }();
    return *table;
}

// Writes the UTF-8 form of a code point at `out` (at most four bytes, three for the BMP) and returns the end.
// An escaped byte is written as that byte; a surrogate or a value beyond U+10FFFF as U+FFFD.
char* putUtf8(char* out, char32_t codePoint) {
    if (isEscapedByte(codePoint)) {
        *out++ = static_cast<char>(codePoint - kEscapedByteBase);
        return out;
    }
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF)
        codePoint = kReplacement;
    if (codePoint < 0x80) {
        *out++ = static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        *out++ = static_cast<char>(0xC0 | codePoint >> 6);
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        *out++ = static_cast<char>(0xE0 | codePoint >> 12);
        *out++ = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | codePoint >> 18);
        *out++ = static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return out;
}

int leadIndex(unsigned char lead) {
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31;
}

void appendCode(std::string& out, std::uint16_t code) {
    if (code > 0xFF)
        out.push_back(static_cast<char>(code >> 8));
    out.push_back(static_cast<char>(code & 0xFF));
}

}  // namespace

// ---- UTF-8 -------------------------------------------------------------------------------------------

Utf8Char decodeUtf8(std::string_view text, std::size_t pos) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char first = bytes[pos];
    const Utf8Char invalid{kEscapedByteBase + first, 1};
    if (first < 0x80)
        return {first, 1};
    std::size_t length;
    char32_t codePoint;
    char32_t minimum;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2, codePoint = first & 0x1F, minimum = 0x80;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3, codePoint = first & 0x0F, minimum = 0x800;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4, codePoint = first & 0x07, minimum = 0x10000;
    } else {
        return invalid;
    }
    if (pos + length > text.size())
        return invalid;
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuation(bytes[pos + i]))
            return invalid;
        codePoint = codePoint << 6 | (bytes[pos + i] & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return invalid;
    }
    return {codePoint, length};
}

void appendUtf8(std::string& out, char32_t codePoint) {
    char encoded[4];
    out.append(encoded, putUtf8(encoded, codePoint));
}

// ---- code page 932 codec -----------------------------------------------------------------------------

std::optional<std::uint16_t> cp932Code(char32_t codePoint) {
    if (codePoint > 0xFFFF)
        return std::nullopt;
    const std::uint16_t code = encodeTable()[codePoint];
    if (code == kNoCode)
        return std::nullopt;
    return code;
}

bool hasCp932Form(char32_t codePoint) {
    return cp932Code(codePoint).has_value();
}

std::optional<char32_t> codePointOfCp932(std::uint16_t code) {
    char16_t codePoint;
    if (code <= 0xFF) {
        codePoint = cp932table::kSingleByte[code];
    } else {
        const unsigned char lead = code >> 8;
        const unsigned char trail = code & 0xFF;
        if (!isLeadByte(lead) || trail < cp932table::kTrailFirst)
            return std::nullopt;
        const int column = trail - cp932table::kTrailFirst;
        if (column >= cp932table::kTrailCount)
            return std::nullopt;
        codePoint = cp932table::kDoubleByte[leadIndex(lead) * cp932table::kTrailCount + column];
    }
    if (codePoint == cp932table::kNone)
        return std::nullopt;
    return codePoint;
}

std::string utf8ToCp932(std::string_view utf8, bool* lossless) {
    std::string out;
    out.reserve(utf8.size());
    if (lossless)
        *lossless = true;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, pos);
        pos += c.length;
        if (isEscapedByte(c.codePoint)) {
            out.push_back(static_cast<char>(c.codePoint - kEscapedByteBase));
        } else if (const auto code = cp932Code(c.codePoint)) {
            appendCode(out, *code);
        } else {
            out.push_back('?');
            if (lossless)
                *lossless = false;
        }
    }
    return out;
}

std::string cp932ToUtf8(std::string_view bytes) {
    std::string out;
    cp932ToUtf8(bytes, out);
    return out;
}

// The UTF-8 form of every code of code page 932, built once: converting a catalog's texts then costs one
// table look-up and one copy per character. A length of 0 marks a double-byte code without a character.
struct Utf8Form {
    char bytes[4];
    std::uint8_t length;
};

Utf8Form utf8FormOf(char32_t codePoint) {
    Utf8Form form{};
    form.length = static_cast<std::uint8_t>(putUtf8(form.bytes, codePoint) - form.bytes);
    return form;
}

struct Utf8Forms {
    std::array<Utf8Form, 256> single;  // a lone byte: its character, else the byte itself (escaped)
    std::array<Utf8Form, cp932table::kLeadCount * cp932table::kTrailCount> pair;
};

const Utf8Forms& utf8Forms() {
    static const std::unique_ptr<Utf8Forms> forms = [] {
        auto built = std::make_unique<Utf8Forms>();
        for (unsigned byte = 0; byte < 256; ++byte) {
            const auto single = codePointOfCp932(static_cast<std::uint16_t>(byte));
            built->single[byte] = utf8FormOf(single ? *single : kEscapedByteBase + byte);
        }
        for (int lead = 0; lead < cp932table::kLeadCount; ++lead) {
            for (int column = 0; column < cp932table::kTrailCount; ++column) {
                const char16_t codePoint = cp932table::kDoubleByte[lead * cp932table::kTrailCount + column];
                built->pair[static_cast<std::size_t>(lead * cp932table::kTrailCount + column)] =
                    codePoint == cp932table::kNone ? Utf8Form{} : utf8FormOf(codePoint);
            }
        }
        return built;
    }();
    return *forms;
}

char* cp932ToUtf8(std::string_view bytes, char* out) {
    const Utf8Forms& forms = utf8Forms();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    char* end = out;
    for (std::size_t pos = 0; pos < size;) {
        // ASCII reads as itself: eight bytes are loaded at a time and stored whole (the room allows it), up
        // to the first byte that is not ASCII, which the code below then takes.
        if (std::endian::native == std::endian::little && size - pos >= sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, in + pos, sizeof word);
            const std::uint64_t high = word & 0x8080808080808080ULL;
            std::memcpy(end, &word, sizeof word);
            if (high == 0) {
                end += sizeof word;
                pos += sizeof word;
                continue;
            }
            const auto run = static_cast<std::size_t>(std::countr_zero(high)) / 8;
            end += run;
            pos += run;
        }
        const unsigned char byte = in[pos];
        if (byte < 0x80) {
            *end++ = static_cast<char>(byte);
            ++pos;
            continue;
        }
        if (isLeadByte(byte) && pos + 1 < size) {
            const int column = in[pos + 1] - cp932table::kTrailFirst;
            const Utf8Form* pair = nullptr;
            if (column >= 0 && column < cp932table::kTrailCount) {
                pair = &forms.pair[static_cast<std::size_t>(leadIndex(byte) * cp932table::kTrailCount + column)];
            }
            if (pair != nullptr && pair->length != 0) {
                std::memcpy(end, pair->bytes, sizeof pair->bytes);
                end += pair->length;
                pos += 2;
            } else {
                *end++ = static_cast<char>(byte);  // a lead byte without its pair stands for itself
                ++pos;
            }
            continue;
        }
        const Utf8Form& single = forms.single[byte];
        std::memcpy(end, single.bytes, sizeof single.bytes);
        end += single.length;
        ++pos;
    }
    return end;
}

// Every code page 932 character is in the BMP, so one byte or one pair of bytes gives at most three bytes of
// UTF-8: the output is sized for that once and written through a pointer.
void cp932ToUtf8(std::string_view bytes, std::string& out) {
    out.resize(cp932Utf8Room(bytes.size()));
    out.resize(static_cast<std::size_t>(cp932ToUtf8(bytes, out.data()) - out.data()));
}

// ---- character values --------------------------------------------------------------------------------

CharValue charValue(char32_t codePoint) {
    if (codePoint < 0x80)
        return codePoint;
    if (const auto code = cp932Code(codePoint))
        return *code;
    return kNoCp932Base + codePoint;
}

char32_t codePointOf(CharValue value) {
    if (value >= kNoCp932Base)
        return value - kNoCp932Base;
    if (value > 0xFFFF)
        return kReplacement;
    return codePointOfCp932(static_cast<std::uint16_t>(value)).value_or(kReplacement);
}

CharValue charValueAt(std::string_view utf8, std::size_t pos, std::size_t* length) {
    const auto first = static_cast<unsigned char>(utf8[pos]);
    if (first < 0x80) {
        *length = 1;
        return first;
    }
    // Kana and kanji are three-byte sequences: decode them here without the general checks.
    if ((first & 0xF0) == 0xE0 && pos + 2 < utf8.size()) {
        const auto second = static_cast<unsigned char>(utf8[pos + 1]);
        const auto third = static_cast<unsigned char>(utf8[pos + 2]);
        const char32_t codePoint = (first & 0x0F) << 12 | (second & 0x3F) << 6 | (third & 0x3F);
        if (isContinuation(second) && isContinuation(third) && codePoint >= 0x800 &&
            (codePoint < 0xD800 || codePoint > 0xDFFF)) {
            *length = 3;
            const std::uint16_t code = encodeTable()[codePoint];
            return code == kNoCode ? kNoCp932Base + codePoint : code;
        }
    }
    const Utf8Char c = decodeUtf8(utf8, pos);
    *length = c.length;
    return charValue(c.codePoint);
}

void appendCharValue(std::string& utf8, CharValue value) {
    appendUtf8(utf8, codePointOf(value));
}

// ---- classification ----------------------------------------------------------------------------------

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isHalfWidthKatakana(CharValue value) {
    return value >= 0xA1 && value <= 0xDF;
}

bool isHiragana(CharValue value) {
    return value >= 0x829F && value <= 0x82F1;
}

bool isKatakana(CharValue value) {
    return value >= 0x8340 && value <= 0x8396 && value != 0x837F;
}

CharValue toUpper(CharValue value) {
    if (value >= 'a' && value <= 'z')
        return value - 0x20;
    if (value >= 0x8281 && value <= 0x829A)
        return value - 0x21;
    return value;
}

namespace {

// The double-byte form of the single bytes 0x20-0x7E and 0xA1-0xDF, as the C runtime's code page 932
// conversion gives them.
constexpr char16_t kAsciiFullWidth[] =
    u"　！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？"
    u"＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ［￥］＾＿"
    u"‘ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝￣";
constexpr char16_t kKanaFullWidth[] =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
    u"ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";
static_assert(sizeof kAsciiFullWidth / sizeof(char16_t) == 0x7E - 0x20 + 2);
static_assert(sizeof kKanaFullWidth / sizeof(char16_t) == 0xDF - 0xA1 + 2);

struct WidthTables {
    std::array<std::uint16_t, 256> toDouble{};     // 0: no double-byte form
    std::array<std::uint8_t, 0x10000> toSingle{};  // 0: no single-byte form
};

const WidthTables& widthTables() {
    static const std::unique_ptr<WidthTables> tables = [] {
        auto built = std::make_unique<WidthTables>();
        auto add = [&](unsigned byte, char16_t codePoint) {
            const std::uint16_t code = *cp932Code(codePoint);
            built->toDouble[byte] = code;
            built->toSingle[code] = static_cast<std::uint8_t>(byte);
        };
        for (unsigned byte = 0x20; byte <= 0x7E; ++byte)
            add(byte, kAsciiFullWidth[byte - 0x20]);
        for (unsigned byte = 0xA1; byte <= 0xDF; ++byte)
            add(byte, kKanaFullWidth[byte - 0xA1]);
        return built;
    }();
    return *tables;
}

}  // namespace

CharValue toSingleByte(CharValue value) {
    if (value <= 0xFF || value > 0xFFFF)
        return value;
    const std::uint8_t single = widthTables().toSingle[value];
    return single ? single : value;
}

CharValue toDoubleByte(CharValue value) {
    if (value > 0xFF)
        return value;
    const std::uint16_t code = widthTables().toDouble[value];
    return code ? code : value;
}

CharValue hiraganaToKatakana(CharValue value) {
    if (!isHiragana(value))
        return value;
    const CharValue katakana = value - 0x829F + 0x8340;
    return katakana >= 0x837F ? katakana + 1 : katakana;  // the katakana rows skip 0x7F
}

std::uint16_t jisToShiftJis(std::uint16_t jis) {
    unsigned high = jis >> 8;
    unsigned low = jis & 0xFF;
    if (high < 0x21 || high > 0x7E || low < 0x21 || low > 0x7E)
        return 0;
    if (high & 1) {
        low += low <= 0x5F ? 0x1F : 0x20;
    } else {
        low += 0x7E;
    }
    high = (high - 0x21) / 2 + 0x81;
    if (high > 0x9F)
        high += 0x40;
    return static_cast<std::uint16_t>(high << 8 | low);
}

std::uint16_t shiftJisToJis(std::uint16_t sjis) {
    unsigned high = sjis >> 8;
    unsigned low = sjis & 0xFF;
    if (!isLeadByte(static_cast<unsigned char>(high)) || low < 0x40 || low == 0x7F || low > 0xFC)
        return 0;
    high -= high >= 0xE0 ? 0xB0 : 0x70;
    high *= 2;
    if (low >= 0x9F) {
        low -= 0x7E;
    } else {
        --high;
        low -= low >= 0x80 ? 0x20 : 0x1F;
    }
    if (high < 0x21 || high > 0x7E)
        return 0;
    return static_cast<std::uint16_t>(high << 8 | low);
}

}  // namespace jtext
