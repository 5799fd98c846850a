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
