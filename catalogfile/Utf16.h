#pragma once

// UTF-16 little-endian text, the form in which the catalog file carries strings that code page 932 cannot
// hold. Conversions keep every string intact: a byte of a UTF-8 string that forms no character travels as
// the lone surrogate U+DC00 + byte (as the text utilities decode it), and such a surrogate read back
// becomes that byte again. Other unpaired surrogates read as U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

// Two bytes per code unit, little-endian.
std::string utf16LeToUtf8(std::string_view bytes);
// The UTF-16LE bytes of a UTF-8 string; the number of code units is the size / 2.
std::string utf8ToUtf16Le(std::string_view utf8);
