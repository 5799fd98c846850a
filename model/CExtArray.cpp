#include "model/CExtArray.h"

#include <cstdio>

#include "platform/CProfile.h"
#include "text/Normalize.h"

namespace {

std::string entryName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "Ext%02d", i);
    return name;
}

const std::vector<std::string> kDefaultTextFiles = {"txt", "htm", "html"};

}  // namespace

void CExtArray::load(const CProfile& profile, std::string_view section) {
    const int count = profile.readInt(section, "Count", 0);
    for (int i = 0; i < count; ++i) {
        m_extensions.push_back(profile.readString(section, entryName(i), ""));
    }
}

void CExtArray::save(CProfile& profile, std::string_view section) const {
    profile.writeInt(section, "Count", count());
    for (int i = 0; i < count(); ++i) {
        profile.writeString(section, entryName(i), m_extensions[static_cast<std::size_t>(i)]);
    }
}

bool CExtArray::contains(std::string_view extension) const {
    for (const std::string& element : m_extensions) {
        if (jtext::normalizedCompare(element, extension, jtext::kNormCase) == 0) {
            return true;
        }
    }
    return false;
}

CExtArray& CExtArray::textFiles() {
    static CExtArray list(kDefaultTextFiles);
    return list;
}

void CExtArray::loadTextFiles(const CProfile& profile) {
    CExtArray& list = textFiles();
    list.clear();
    list.load(profile, kTextFileSection);
    if (list.count() == 0) {
        list.m_extensions = kDefaultTextFiles;
    }
}

void CExtArray::saveTextFiles(CProfile& profile) {
    textFiles().save(profile, kTextFileSection);
}
