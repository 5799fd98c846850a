#pragma once

// The conditions of the item search: a text and the properties of an item to look in. The item list view
// keeps the last one for "next" and "previous".

#include <string>
#include <string_view>
#include <vector>

class CFileItem;
class CProfile;
class CExtArray;

class CFileSearchCondition final {
public:
    // Bits of the "FindTarget" setting.
    static constexpr int kInName = 1;
    static constexpr int kInPath = 2;
    static constexpr int kInMemo = 4;
    static constexpr int kInTextFile = 8;
    static constexpr int kInCategory = 16;
    static constexpr int kHistorySize = 10;
    static constexpr std::string_view kSection = "Search";

    std::string text;
    bool inName = true;
    bool inPath = true;
    bool inMemo = true;
    bool inTextFile = false;
    bool inCategory = false;
    int category = 0;
    // -1, or the byte offset in the file of the last match found inside a text file.
    long long matchOffset = -1;

    // Tests text file, name, path, memo and category in this order and stops at the first hit; sets the
    // match offset.
    bool matches(const CFileItem& item, const CExtArray* textFileExtensions = nullptr);

    int targetBits() const;
    void setTargetBits(int bits);

    // Reads the conditions and the text history ("FileName00" .. "FileName09", most recent first; the
    // non-empty ones are appended to `history`); "FileName00" becomes the text when not empty.
    void load(const CProfile& profile, std::string_view section, std::vector<std::string>& history);
    // Writes "FileName00" = the text, then the history entries that differ from it under 01 .. 09, then
    // "FindTarget" and "FindCategory".
    void save(CProfile& profile, std::string_view section, const std::vector<std::string>& history) const;
};
