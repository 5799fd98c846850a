#pragma once

// Detection of the Japanese code and line end of a text file, and the converters between Shift-JIS,
// JIS (ISO-2022-JP) and EUC-JP. The converters work on byte strings, as file bytes are.

#include <cstdio>
#include <string>
#include <string_view>

namespace jtext {

// Results of detectJapaneseCode. The numbers are part of the behaviour (stored and compared as ints).
enum JapaneseCode : int {
    kCodeShiftJis = 0,
    kCodeJis = 1,
    kCodeEuc = 2,
    kCodeUtf8 = 3,
    kCodeNone = 4,            // no Japanese found
    kCodeEucOrShiftJis = 5,   // undecided
};

// Detects the code of the bytes from the file's current position on. A text that is valid UTF-8 and holds
// at least one non-ASCII character is UTF-8; otherwise the byte classification decides. The file's
// position is left where it was.
int detectJapaneseCode(std::FILE* file);
int detectJapaneseCode(std::string_view bytes);

// The second look at a text whose first answer (detectJapaneseCode) is not certain: undecided (5), UTF-8
// (3: short EUC text can be valid UTF-8 too, as "表" is) or no Japanese found (4) while the text holds
// bytes above 0x7F or JIS escape sequences. Each of UTF-8, EUC-JP and Shift-JIS that decodes the whole
// sample without an error scores its characters by how often they occur in Japanese text (hiragana,
// katakana, common kanji, half-width kana in voiced pairs high; symbols, Greek, Cyrillic and the vendor
// extensions low), and the best scoring decodes wins. The answer is the code to read the text in: never
// 5. Certain first answers (0, 1, 2) come back unchanged, and so does 4 for plain ASCII, except that text
// whose valid UTF-8 sequences outnumber its stray bytes many times over (a UTF-8 file with a byte from
// another code in it) is UTF-8, read with those bytes as they are. Callers that store the detector's number
// keep the first answer; this one only decides how the bytes are read.
int settleJapaneseCode(std::string_view bytes, int firstAnswer);

enum LineEnd : int { kLineEndCrLf = 0, kLineEndLf = 1, kLineEndCr = 2, kLineEndNone = -1 };
int detectLineEnd(std::FILE* file);  // from the current position, which is kept
int detectLineEnd(std::string_view bytes);

// The JIS converters share one process-wide shift state (kanji mode, half-width kana mode), both off at
// start. JIS to Shift-JIS carries it from one call to the next; Shift-JIS to JIS returns to plain mode at
// the end of every call. Each converter replaces `out` and returns the count of double-byte characters
// converted.
int jisToShiftJis(std::string_view source, std::string& out);
int shiftJisToJis(std::string_view source, std::string& out);
int eucToShiftJis(std::string_view source, std::string& out);
void shiftJisToEuc(std::string_view source, std::string& out);
void resetJisShiftState();

}  // namespace jtext
