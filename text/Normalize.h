#pragma once

// Width conversion and the normalised compare, search and sort over UTF-8 strings. Normalisation works on
// character values (see Cp932.h) and is shaped by flags that combine:
//   1 width: half-width kana (with their voicing marks) and single-byte characters read as double-byte;
//   2 case: upper-cased;  4 kana: hiragana read as katakana;
//   8 small and voiced: small kana read as large, voiced kana as plain, "－" and "-" as "ー".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/Cp932.h"

namespace jtext {

enum NormalizeFlag : unsigned {
    kNormWidth = 1,
    kNormCase = 2,
    kNormKana = 4,
    kNormSmallVoiced = 8,
    kNormAll = 0xFF,
};

// Full-width to half-width and back; each replaces `out` and returns the count of characters converted.
int fullWidthToHalfWidth(std::string_view source, std::string& out);
int halfWidthToFullWidth(std::string_view source, std::string& out);

// Negative, 0 or positive: the difference of the first differing normalised character values; a string
// that ends first compares as a 0 character.
int normalizedCompare(std::string_view a, std::string_view b, unsigned flags);

// The byte offset of the first match of `pattern` in `text`, or -1 (also for an empty text or pattern).
// *matchLength receives the length of the match in bytes of the text.
std::ptrdiff_t normalizedSearch(std::string_view text, std::string_view pattern, unsigned flags,
                                std::size_t* matchLength = nullptr);

// The normalised character values of a string: comparing two keys lexicographically orders the strings as
// normalizedCompare does. Lets callers normalise once and compare many times.
std::u32string normalizedKey(std::string_view text, unsigned flags);
// The same key appended to `out` as bytes whose byte-wise order is the keys' order, in about a byte per
// character of ASCII text: a value below 0x80 takes one byte, below 0x4000 two, any other three, the first
// byte telling how many (as in UTF-8).
void appendNormalizedKeyBytes(std::string& out, std::string_view text, unsigned flags);

// Sorts ascending by normalizedCompare with the flags (a heap sort: equal strings keep no particular order).
void normalizedSort(std::vector<std::string>& strings, unsigned flags);

}  // namespace jtext
