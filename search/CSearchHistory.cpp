#include "search/CSearchHistory.h"

#include <cstdio>

#include "platform/CProfile.h"

namespace {

std::string entryName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Str%02d", i);
    return name;
}

}  // namespace

std::vector<std::string> CSearchHistory::load(const CProfile& profile, std::string_view section) {
    std::vector<std::string> history;
    for (int i = 0; i < kSize; ++i) {
        std::string value = profile.readString(section, entryName(i), "");
        if (!value.empty()) {
            history.push_back(std::move(value));
        }
    }
    return history;
}

void CSearchHistory::save(CProfile& profile, std::string_view section, std::string_view text,
                          const std::vector<std::string>& history) {
    profile.writeString(section, entryName(0), text);
    int next = 1;
    for (const std::string& entry : history) {
        if (next >= kSize) {
            break;
        }
        if (entry != text) {
            profile.writeString(section, entryName(next++), entry);
        }
    }
}
