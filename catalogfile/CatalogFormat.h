#pragma once

// The constants of the catalog file (.qlry): the object-archive encoding of the application framework that
// first wrote these files. Every integer is little-endian. The whole file is one catalog record, written
// without a class tag:
//
//   i32 version (100)         i32 reserved            i32 show name   i32 show date   i32 show size
//   i32 use shortcuts         i32 relative paths      4 x i32 reserved (0)            5 x string reserved
//   ("") object array filters      object array sort keys  object array categories         object array items
//
// An empty file (length 0) is a valid, empty catalog.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace catalog_format {

// ---- records -----------------------------------------------------------------------------------------
// Every record starts with an i32 version. Readers ignore it, except in filter conditions (see below).
constexpr std::int32_t kRecordVersion = 100;

// Filter condition record: i32 version, i32 target, string value text, i32 operator, i32 conjunction.
// Records marked 100 use the old target numbering: targets 3 and up are read 2 higher (CItemFilter knows
// the shift). This build writes its conditions marked 101 and reads those unchanged, so a condition
// survives any number of saves.
constexpr std::int32_t kFilterVersionShifted = 100;
constexpr std::int32_t kFilterVersion = 101;

// Catalog record: fields 8-11 are reserved integers, fields 12-16 reserved strings.
constexpr int kReservedIntegers = 4;
constexpr int kReservedStrings = 5;

// ---- strings -----------------------------------------------------------------------------------------
// A string is a length prefix, then n bytes of code page 932 text, no terminator:
//   n < 0xFF:            u8 n
//   0xFF <= n < 0xFFFE:  u8 0xFF, u16 n
//   n >= 0xFFFE:         u8 0xFF, u16 0xFFFF, u32 n
// The UTF-16 form is u8 0xFF, u16 0xFFFE, then a complete second prefix as above giving the number of UTF-16
// code units, then 2 bytes per unit. It carries the texts that code page 932 cannot hold.
constexpr std::uint8_t kStringByteEscape = 0xFF;
constexpr std::uint16_t kStringWordEscape = 0xFFFF;
constexpr std::uint16_t kStringUtf16Mark = 0xFFFE;

// ---- counts ------------------------------------------------------------------------------------------
// A count is u16 n when n < 0xFFFF, else u16 0xFFFF followed by u32 n. A string array is a count and that
// many strings; an object array is a count and that many object references.
constexpr std::uint16_t kCountEscape = 0xFFFF;
// The fewest bytes an element can take; a count that the rest of the file cannot hold is an error.
constexpr std::size_t kMinStringBytes = 1;
constexpr std::size_t kMinObjectReferenceBytes = 2;
// The fewest bytes an item element takes: its tag, the version, four empty strings and an empty count.
constexpr std::size_t kMinItemElementBytes = 2 + 4 + 4 * kMinStringBytes + 2;

// ---- object references -------------------------------------------------------------------------------
// Each object array element starts with a u16 tag:
//   0x0000                     null element
//   0xFFFF                     new class: u16 schema, u16 name length L (< 64), L ASCII bytes, then the
//                              new object's record
//   0x8000 + i (1..0x7FFE)     new object of the class with index i, then its record
//   i (1..0x7FFE)              reference to the already read object with index i
//   0x7FFF                     long form: u32 v; bit 31 set: new object of class v - 0x80000000, then its
//                              record; otherwise a reference to object v
// Classes and objects share one index counter per file, counting from 1 in order of first appearance: a
// new-class tag numbers the class, then its object.
constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kLongTag = 0x7FFF;
constexpr std::uint32_t kLongClassTag = 0x80000000u;
constexpr std::uint32_t kMaxIndex = 0x3FFFFFFE;
constexpr std::size_t kMaxClassNameLength = 63;

// ---- limits ------------------------------------------------------------------------------------------
// The limits the format itself sets: at most ten categories; one sort key per built-in key (-1 to -5) and
// per category. Every other count (filter conditions, items, strings) may be as large as the file can
// hold: each declared element needs at least so many bytes of what follows, so a count beyond the bytes
// left is a format error at its offset, and memory stays a small multiple of the file.
constexpr std::uint32_t kMaxCategories = 10;
constexpr std::uint32_t kMaxSortKeys = 5 + kMaxCategories;

// ---- registered classes ------------------------------------------------------------------------------
// The class names a file may name, each with the one schema it must carry.
constexpr std::uint16_t kSchema = 1;
constexpr std::string_view kCatalogClass = "CFileCatalog";  // never tagged: the top-level record
constexpr std::string_view kFilterClass = "CItemFilter";
constexpr std::string_view kFilterArrayClass = "CFilterArray";  // never tagged
constexpr std::string_view kSortKeyClass = "CSortItem";
constexpr std::string_view kSortArrayClass = "CSortArray";  // never tagged
constexpr std::string_view kCategoryClass = "CCategory";
constexpr std::string_view kItemClass = "CFileItem";
constexpr std::string_view kTagArrayClass = "CTagArray";  // i32 version, string array; never written

}  // namespace catalog_format
