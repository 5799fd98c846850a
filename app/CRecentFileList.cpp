#include "app/CRecentFileList.h"

#include "platform/CProfile.h"

namespace {
constexpr const char* kSection = "Recent File List";

std::string entryName(int index) { return "File" + std::to_string(index + 1); }
}  // namespace

CRecentFileList::CRecentFileList(CProfile& profile) : m_profile(profile) {}

void CRecentFileList::load() {
    m_paths.clear();
    for (int i = 0; i < kSize; ++i) {
        const QString path = QString::fromStdString(m_profile.readString(kSection, entryName(i), ""));
        if (!path.isEmpty()) {
            m_paths.append(path);
        }
    }
}

void CRecentFileList::save() const {
    for (int i = 0; i < kSize; ++i) {
        m_profile.writeString(kSection, entryName(i), at(i).toStdString());
    }
}

void CRecentFileList::add(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_paths.removeAll(path);
    m_paths.prepend(path);
    while (m_paths.size() > kSize) {
        m_paths.removeLast();
    }
    save();
}

void CRecentFileList::remove(int index) {
    if (index >= 0 && index < count()) {
        m_paths.removeAt(index);
        save();
    }
}

void CRecentFileList::remove(const QString& path) {
    if (m_paths.removeAll(path) > 0) {
        save();
    }
}
