#pragma once

// A history of search texts in a settings section ("Search" for the attribute list search, "Find" and
// "Replace" for the text dialogs): "Str00" .. "Str09", the most recent first.

#include <string>
#include <string_view>
#include <vector>

class CProfile;

class CSearchHistory final {
public:
    static constexpr int kSize = 10;

    // The non-empty entries in order.
    static std::vector<std::string> load(const CProfile& profile, std::string_view section);
    // "Str00" = text, then every entry of the history that differs from it under 01 .. 09; entries beyond
    // those written stay as they were.
    static void save(CProfile& profile, std::string_view section, std::string_view text,
                     const std::vector<std::string>& history);
};
