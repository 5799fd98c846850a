#pragma once

// The history of the attribute list search texts in the "Search" section: "Str00" .. "Str09", most recent
// first.

#include <string>
#include <string_view>
#include <vector>

class CProfile;

class CSearchHistory final {
public:
    static constexpr int kSize = 10;

    // The non-empty entries in order.
    static std::vector<std::string> loadAttributeHistory(const CProfile& profile, std::string_view section);
    // "Str00" = text, then every entry of the history that differs from it under 01 .. 09; entries beyond
    // those written stay as they were.
    static void saveAttributeHistory(CProfile& profile, std::string_view section, std::string_view text,
                                     const std::vector<std::string>& history);
};
