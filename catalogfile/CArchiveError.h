#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What is wrong with a catalog file, and where. Every kind is a format error to the user ("予期しないﾌｧｲﾙ形式
// です。"); the kind and the byte offset are for `qlry check` and for tests.
enum class ArchiveErrorKind {
    EndOfFile,          // the file ends inside a field
    BadClass,           // a class name that is not registered, or one of 64 bytes or more
    BadSchema,          // a registered class with another schema
    BadIndex,           // a class or object index that was not read before, or too many indices
    WrongElementClass,  // an array element whose class is not the array's element class
    CountTooLarge,      // a count larger than the rest of the file can hold
    SharedObject,       // a reference to an object already read: an object can belong to one array only
    OverLimit,          // more categories, sort keys or filter conditions than the program can use
};

class CArchiveError final {
public:
    CArchiveError(ArchiveErrorKind kind, std::uint64_t offset, std::string detail = {});

    ArchiveErrorKind kind() const { return m_kind; }
    std::uint64_t offset() const { return m_offset; }
    const std::string& detail() const { return m_detail; }

    // A short English name of the kind ("end of file", "bad class", ...).
    static std::string_view kindName(ArchiveErrorKind kind);
    // "bad schema at byte 123: CCategory schema 2".
    std::string describe() const;

private:
    ArchiveErrorKind m_kind;
    std::uint64_t m_offset;
    std::string m_detail;
};
