#pragma once

// Reading and writing a text file in its own Japanese code and with its own line ends. The preview edits
// texts as UTF-8; these operations turn a file's bytes into UTF-8 lines and edited lines back into the
// file's code, and tell exactly where a character has no form in that code.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jtext {

// The code a text is read and written in: the detector's answer (JapaneseCode.h), with an undecided or
// uncertain answer settled by its second look. One of kCodeShiftJis, kCodeJis, kCodeEuc, kCodeUtf8 or
// kCodeNone (plain ASCII, written as UTF-8 once it holds more).
int textCodeOf(std::string_view bytes);

// The bytes in the code as UTF-8. Bytes that form no character are kept as escaped bytes (see Cp932.h).
// JIS text carries its shift state from one call to the next: call resetJisShiftState() before the first
// line of a file.
std::string decodeText(std::string_view bytes, int code);

// True when decodeText's result holds no escaped byte: every byte of the text formed a character in its
// code. A text that is not clean cannot be edited and saved without changing bytes the user never touched.
bool isCleanlyDecoded(std::string_view decoded);

// The UTF-8 text in the code. When a character has no form in it (or would not read back as itself), the
// result is false and *badOffset is the byte offset of the first such character in `utf8`; `out` then
// holds nothing useful. Code kCodeNone writes UTF-8. Each call ends in JIS plain mode.
bool encodeText(std::string_view utf8, int code, std::string& out, std::size_t* badOffset = nullptr);

// One line of a text's bytes: where it starts, its length without the line end, and its line end
// (kLineEndCrLf, kLineEndLf, kLineEndCr or kLineEndNone for the last line). The last line may be empty;
// a text ending in a line end has an empty last line. CR and LF are single bytes in all four codes.
struct LineSpan {
    std::size_t begin;
    std::size_t length;
    int lineEnd;
};
std::vector<LineSpan> splitLines(std::string_view bytes);
// The bytes of a line end ("" for kLineEndNone).
std::string_view lineEndBytes(int lineEnd);

// True when the bytes are not text at all: a text file holds no NUL byte in any of the four codes.
bool looksBinary(std::string_view bytes);

// The name of a code as the user knows it: "Shift-JIS", "JIS", "EUC-JP", "UTF-8" ("ASCII" for kCodeNone).
const char* codeName(int code);

}  // namespace jtext
