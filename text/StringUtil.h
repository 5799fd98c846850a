#pragma once

// Small string operations shared by the catalog model, the views and the browser capture.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jtext {

// Cuts the text at every byte that occurs in `delimiters` and appends the pieces to `out`: a run of
// delimiters ends one piece, the text before the first delimiter is a piece even when empty, a trailing run
// adds nothing. A text without delimiters gives one piece, the whole text.
void splitAtDelimiters(std::string_view text, std::string_view delimiters, std::vector<std::string>& out);

std::string join(const std::vector<std::string>& pieces, std::string_view separator);

// The last character of a UTF-8 string, as a string ("" for an empty one).
std::string lastCharacter(std::string_view text);

// 1 when the byte at `index` starts a multibyte character, 0 when not, -1 when the string ends earlier.
// The UTF-8 form works on in-memory strings, the code page 932 form on file bytes.
int leadByteAt(std::string_view utf8, std::size_t index);
int cp932LeadByteAt(std::string_view bytes, std::size_t index);

// "%.10g" with "," between groups of three digits before the decimal point: 1234567.5 -> "1,234,567.5".
std::string thousandsFormat(double value);

}  // namespace jtext
