#include "search/CFileSearchCondition.h"

#include <cstdio>

#include "model/CExtArray.h"
#include "model/CFileItem.h"
#include "platform/CProfile.h"
#include "search/CTextFileSearch.h"
#include "text/Normalize.h"

namespace {

bool contains(std::string_view field, std::string_view text) {
    return jtext::normalizedSearch(field, text, jtext::kNormCase) >= 0;
}

std::string historyEntry(int i) {
    char name[24];
    std::snprintf(name, sizeof name, "FileName%02d", i);
    return name;
}

}  // namespace

bool CFileSearchCondition::matches(const CFileItem& item, const CExtArray* textFileExtensions) {
    matchOffset = -1;
    if (inTextFile) {
        const std::int64_t offset = CTextFileSearch::find(
            item, text, textFileExtensions ? *textFileExtensions : CExtArray::textFiles());
        if (offset >= 0) {
            matchOffset = offset;
            return true;
        }
    }
    return (inName && contains(item.displayName(), text)) || (inPath && contains(item.path(), text)) ||
           (inMemo && contains(item.memo(), text)) ||
           (inCategory && contains(item.valueString(category), text));
}

int CFileSearchCondition::targetBits() const {
    return (inName ? kInName : 0) | (inPath ? kInPath : 0) | (inMemo ? kInMemo : 0) |
           (inTextFile ? kInTextFile : 0) | (inCategory ? kInCategory : 0);
}

void CFileSearchCondition::setTargetBits(int bits) {
    inName = (bits & kInName) != 0;
    inPath = (bits & kInPath) != 0;
    inMemo = (bits & kInMemo) != 0;
    inTextFile = (bits & kInTextFile) != 0;
    inCategory = (bits & kInCategory) != 0;
}

void CFileSearchCondition::load(const CProfile& profile, std::string_view section,
                                std::vector<std::string>& history) {
    for (int i = 0; i < kHistorySize; ++i) {
        std::string value = profile.readString(section, historyEntry(i), "");
        if (value.empty()) {
            continue;
        }
        if (i == 0) {
            text = value;
        }
        history.push_back(std::move(value));
    }
    setTargetBits(profile.readInt(section, "FindTarget", kInName | kInPath | kInMemo));
    category = profile.readInt(section, "FindCategory", 0);
}

void CFileSearchCondition::save(CProfile& profile, std::string_view section,
                                const std::vector<std::string>& history) const {
    profile.writeString(section, historyEntry(0), text);
    int next = 1;
    for (const std::string& entry : history) {
        if (next >= kHistorySize) {
            break;
        }
        if (entry != text) {
            profile.writeString(section, historyEntry(next++), entry);
        }
    }
    profile.writeInt(section, "FindTarget", targetBits());
    profile.writeInt(section, "FindCategory", category);
}
