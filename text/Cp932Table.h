#pragma once

// The code page 932 mapping, generated from glibc's iconv "CP932" by tools/gen_cp932_table.c.

#include <cstdint>

namespace jtext::cp932table {

constexpr char16_t kNone = 0xFFFF;
constexpr int kLeadCount = 60;  // 0x81-0x9F, 0xE0-0xFC
constexpr int kTrailFirst = 0x40;
constexpr int kTrailCount = 189;  // 0x40-0xFC

// Code point of each single byte (kNone for lead bytes and unassigned bytes).
extern const char16_t kSingleByte[256];
// Code point of each lead/trail pair, row by lead byte in order, column trail - 0x40 (kNone: unassigned).
extern const char16_t kDoubleByte[kLeadCount * kTrailCount];

// Every BMP code point that has a code page 932 form reading back as itself, in code point order.
struct EncodePair {
    char16_t codePoint;
    std::uint16_t code;
};
extern const EncodePair kEncode[];
extern const unsigned kEncodeCount;

}  // namespace jtext::cp932table
