#pragma once

// The text-file content search of the filters and the item search: whether an item's file, when it is a
// text file, contains a text. The file is read in its own Japanese code (Shift-JIS, JIS, EUC-JP or UTF-8)
// and converted to UTF-8 before searching; a match that straddles two read pieces is still found.

#include <cstdint>
#include <string_view>

class CFileItem;
class CExtArray;

class CTextFileSearch final {
public:
    // The byte offset of the first match in the file, or -1: for URLs, for extensions not in the list, for
    // files that cannot be opened or read, and when the text does not occur. The offset counts bytes of the
    // file as stored; in a JIS file, whose shifts hide where a character starts, it is the offset of the
    // line where the match starts.
    static std::int64_t find(const CFileItem& item, std::string_view text,
                             const CExtArray& textFileExtensions);
    // The same on a file path, without the item checks.
    static std::int64_t findInFile(const std::string& path, std::string_view text);
};
