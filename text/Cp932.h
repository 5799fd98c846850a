#pragma once

// Code page 932 (Windows Shift-JIS) with Windows' own mapping, and the character classification that the
// Japanese text operations rely on.
//
// In memory every string is UTF-8. Classification, width, case and kana folding, and the ordering of
// compares and sorts work on character values: a character's value is its code page 932 code (one byte,
// or lead byte * 256 + trail byte); a character with no code page 932 form gets 0x10000 + its code point,
// so it orders after all code page 932 text and still compares exactly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace jtext {

using CharValue = std::uint32_t;
constexpr CharValue kNoCp932Base = 0x10000;

// ---- UTF-8 -------------------------------------------------------------------------------------------
// One decoded character. A byte that does not start a valid UTF-8 sequence decodes as U+DC00 + byte with
// length 1 (as Python's surrogateescape does), and appendUtf8 writes such a code point back as that byte,
// so any byte string survives decode and encode unchanged.
struct Utf8Char {
    char32_t codePoint;
    std::size_t length;  // bytes taken from the string, >= 1
};
// Decodes the character starting at byte `pos` (< text.size()).
Utf8Char decodeUtf8(std::string_view text, std::size_t pos);
void appendUtf8(std::string& out, char32_t codePoint);

// ---- code page 932 codec -----------------------------------------------------------------------------
// The code page 932 code of a code point, or nullopt when it has none. A code that reads back as another
// character (iconv writes ¥ as 0x5C and 〜 as 81 60) does not count: such characters have no form.
std::optional<std::uint16_t> cp932Code(char32_t codePoint);
bool hasCp932Form(char32_t codePoint);
// The code point of a code page 932 code, or nullopt for an unassigned code.
std::optional<char32_t> codePointOfCp932(std::uint16_t code);

// UTF-8 to code page 932 bytes. Characters without a form become '?' and clear *lossless.
std::string utf8ToCp932(std::string_view utf8, bool* lossless = nullptr);
// Code page 932 bytes to UTF-8. Bytes that form no character are kept as escaped bytes (see decodeUtf8).
std::string cp932ToUtf8(std::string_view bytes);
// The same into `out`, replacing its contents and reusing its capacity (for callers converting many strings).
void cp932ToUtf8(std::string_view bytes, std::string& out);
// The room cp932ToUtf8 needs at `out` for `size` bytes: three bytes of UTF-8 at most per byte, and a few
// spare, because it copies whole words.
constexpr std::size_t cp932Utf8Room(std::size_t size) {
    return size * 3 + 8;
}
// The same written at `out`, which has cp932Utf8Room(bytes.size()) bytes of room; returns the end.
char* cp932ToUtf8(std::string_view bytes, char* out);

// ---- character values --------------------------------------------------------------------------------
CharValue charValue(char32_t codePoint);
char32_t codePointOf(CharValue value);
// The value of the character at `pos` of a UTF-8 string, and its length in bytes.
CharValue charValueAt(std::string_view utf8, std::size_t pos, std::size_t* length);
void appendCharValue(std::string& utf8, CharValue value);

// ---- classification (on code page 932 codes) ---------------------------------------------------------
bool isLeadByte(unsigned char byte);            // 0x81-0x9F, 0xE0-0xFC
bool isHalfWidthKatakana(CharValue value);      // 0xA1-0xDF
bool isHiragana(CharValue value);               // 0x829F-0x82F1
bool isKatakana(CharValue value);               // 0x8340-0x8396, without 0x837F
CharValue toUpper(CharValue value);             // ASCII and full-width Latin letters
CharValue toSingleByte(CharValue value);        // double-byte form -> single-byte form, else unchanged
CharValue toDoubleByte(CharValue value);        // single-byte form -> double-byte form, else unchanged
CharValue hiraganaToKatakana(CharValue value);  // else unchanged
// JIS <-> Shift-JIS of one double-byte character; 0 when the value is outside the convertible range.
std::uint16_t jisToShiftJis(std::uint16_t jis);
std::uint16_t shiftJisToJis(std::uint16_t sjis);

}  // namespace jtext
