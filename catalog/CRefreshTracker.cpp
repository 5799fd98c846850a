#include "catalog/CRefreshTracker.h"

#include <sys/stat.h>

#include <cerrno>

namespace {

constexpr std::uint32_t kNone = CFileItem::RefreshMark::kNone;

std::string_view lastComponent(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string parentOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

// The entry whose events tell about the item: its own name, or with `missing` folders missing on its path,
// the first of them.
std::string_view watchedEntryOf(std::string_view path, std::uint16_t missing) {
    for (std::uint16_t i = 0; i < missing; ++i) {
        path = path.substr(0, path.rfind('/'));
    }
    return lastComponent(path);
}

// Only a plain absolute path names its folders directly: "//", "." and ".." components and a trailing "/"
// would make the watched folders differ from the ones the file system walks.
bool isPlainAbsolutePath(std::string_view path) {
    if (path.size() < 2 || path.front() != '/' || path.back() == '/' ||
        path.find("//") != std::string_view::npos) {
        return false;
    }
    std::size_t begin = 1;
    while (begin <= path.size()) {
        std::size_t end = path.find('/', begin);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view part = path.substr(begin, end - begin);
        if (part == "." || part == "..") {
            return false;
        }
        begin = end + 1;
    }
    return true;
}

std::string joined(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.back() != '/') {
        path += '/';
    }
    path += name;
    return path;
}

}  // namespace

void CRefreshTracker::reset() {
    m_watch.close();
    m_folders.clear();
    m_folderIndex.clear();
    m_folderOfWatch.clear();
    m_validFrom = ++m_clock + 1;
}

void CRefreshTracker::beginRecompute(std::string_view catalogFolder, bool useShortcuts) {
    ++m_clock;
    if (catalogFolder != m_catalogFolder || useShortcuts != m_useShortcuts) {
        m_catalogFolder = catalogFolder;
        m_useShortcuts = useShortcuts;
        m_validFrom = m_clock;
    }
    m_watch.takeEvents([this](int watch, std::string_view name, std::uint32_t what) {
        handleEvent(watch, name, what);
    });
}

void CRefreshTracker::handleEvent(int watch, std::string_view name, std::uint32_t what) {
    if ((what & CFolderWatch::kOverflow) != 0) {
        m_validFrom = m_clock;
        return;
    }
    const auto found = m_folderOfWatch.find(watch);
    if (found == m_folderOfWatch.end()) {
        return;
    }
    const std::vector<std::uint32_t> folders = found->second;
    for (const std::uint32_t index : folders) {
        Folder& folder = m_folders[index];
        if ((what & CFolderWatch::kFolderGone) != 0 || name.empty()) {
            // The folder went away or its own permissions changed: nothing below it can be trusted.
            invalidateBelow(folder.path);
            continue;
        }
        folder.lastAnyEvent = m_clock;
        if (folder.lastEventOf.size() >= kMaxRememberedNames) {
            folder.lastEventOf.clear();
            folder.invalidatedAt = m_clock;
        }
        folder.lastEventOf[std::string(name)] = m_clock;
        if ((what & (CFolderWatch::kEntryReplaced | CFolderWatch::kEntryIsFolder)) != 0) {
            // A folder (or a link to one) on the way to watched folders may have been replaced.
            invalidateBelow(joined(folder.path, name));
        }
    }
}

// The watches of the folders at and below the path end too: the path may now lead to other folders, which
// are watched afresh when next needed.
void CRefreshTracker::invalidateBelow(const std::string& path) {
    const std::string below = path == "/" ? path : path + "/";
    for (std::uint32_t index = 0; index < m_folders.size(); ++index) {
        Folder& folder = m_folders[index];
        if (folder.path != path && !folder.path.starts_with(below)) {
            continue;
        }
        folder.invalidatedAt = m_clock;
        if (folder.watch < 0) {
            continue;
        }
        const auto found = m_folderOfWatch.find(folder.watch);
        if (found != m_folderOfWatch.end()) {
            std::erase(found->second, index);
            if (found->second.empty()) {
                m_folderOfWatch.erase(found);
                m_watch.remove(folder.watch);
            }
        }
        folder.watch = -1;
    }
}

std::uint32_t CRefreshTracker::watchFolder(const std::string& path) {
    auto found = m_folderIndex.find(path);
    std::uint32_t index = found == m_folderIndex.end() ? kNone : found->second;
    if (index != kNone && m_folders[index].watch >= 0) {
        return index;
    }
    if (index == kNone) {
        index = static_cast<std::uint32_t>(m_folders.size());
        m_folders.emplace_back();
        m_folders.back().path = path;
        m_folderIndex.emplace(path, index);
    } else if (m_folders[index].failedAt == m_clock) {
        return kNone;  // tried already in this recompute
    }
    // A folder whose parent cannot be watched could be renamed away unseen.
    const std::uint32_t parent = path == "/" ? kNone : watchFolder(parentOf(path));
    Folder& folder = m_folders[index];
    const int watch = (path == "/" || parent != kNone) ? m_watch.add(path) : -1;
    if (watch < 0) {
        folder.failedAt = m_clock;
        return kNone;
    }
    folder.watch = watch;
    folder.watchedSince = m_clock;
    folder.lastEventOf.clear();
    m_folderOfWatch[watch].push_back(index);
    return index;
}

std::uint32_t CRefreshTracker::watchedFolder(const std::string& path, bool& placedNow) {
    const auto found = m_folderIndex.find(path);
    if (found != m_folderIndex.end() && m_folders[found->second].watch >= 0) {
        return found->second;
    }
    placedNow = true;
    return watchFolder(path);
}

std::uint32_t CRefreshTracker::watchedAncestorOfMissing(const std::string& path, std::uint16_t& missing) {
    constexpr std::uint16_t kMaxMissing = 4096;
    std::string first = path;
    missing = 1;
    while (first != "/" && missing < kMaxMissing) {
        const std::string above = parentOf(first);
        const auto found = m_folderIndex.find(above);
        if (found != m_folderIndex.end() && m_folders[found->second].watch >= 0) {
            // Only a name with nothing behind it is sure to raise an event here when it appears; a folder
            // that exists but could not be watched may change unseen.
            struct stat status {};
            if (::lstat(first.c_str(), &status) != 0 && errno == ENOENT) {
                return found->second;
            }
            return kNone;
        }
        first = above;
        ++missing;
    }
    return kNone;
}

bool CRefreshTracker::folderUnchangedSince(std::uint32_t index, std::uint64_t stamp) const {
    if (index == kNone) {
        return false;
    }
    const Folder& folder = m_folders[index];
    return folder.watch >= 0 && folder.watchedSince <= stamp && folder.invalidatedAt <= stamp;
}

bool CRefreshTracker::entryUnchangedSince(std::uint32_t index, std::string_view name, std::uint64_t stamp) const {
    if (!folderUnchangedSince(index, stamp)) {
        return false;
    }
    const Folder& folder = m_folders[index];
    if (folder.lastAnyEvent <= stamp) {
        return true;
    }
    const auto found = folder.lastEventOf.find(std::string(name));
    return found == folder.lastEventOf.end() || found->second <= stamp;
}

// After a refresh that found the file the stored path is the absolute one read; a relative path left is a
// file not found, read again every time.
std::string CRefreshTracker::targetOf(const CFileItem& item) const {
    return item.path().starts_with('/') ? std::string(item.path()) : std::string();
}

bool CRefreshTracker::isCurrent(const CFileItem& item) const {
    const CFileItem::RefreshMark& mark = item.refreshMark();
    if (mark.stamp == 0 || mark.stamp < m_validFrom) {
        return false;
    }
    if (!entryUnchangedSince(mark.folder, watchedEntryOf(item.path(), mark.missing), mark.stamp)) {
        return false;
    }
    if (mark.self != kNone) {
        if (!folderUnchangedSince(mark.self, mark.stamp) || m_folders[mark.self].lastAnyEvent > mark.stamp) {
            return false;
        }
    }
    return mark.link == kNone || entryUnchangedSince(mark.link, item.shortcutName(), mark.stamp);
}

void CRefreshTracker::prepare(const CFileItem& item) {
    if (item.isUrl()) {
        return;
    }
    const std::string target = targetOf(item);
    if (!isPlainAbsolutePath(target)) {
        return;
    }
    watchFolder(parentOf(target));
    if (item.kind() == ItemKind::Folder) {
        watchFolder(target);
    }
    if (usesLink()) {
        watchFolder(m_catalogFolder);
    }
}

void CRefreshTracker::noteRefreshed(CFileItem& item, bool found) {
    CFileItem::RefreshMark mark;
    if (item.isUrl() || (usesLink() && !found)) {
        item.setRefreshMark(mark);  // URLs take the time of every refresh; lost targets have their memo
        return;
    }
    const std::string target = targetOf(item);
    const std::string_view name = lastComponent(target);
    if (!isPlainAbsolutePath(target) || name != lastComponent(item.path())) {
        item.setRefreshMark(mark);
        return;
    }
    // A symbolic link's target, and a file with other names, may change through a folder nobody watches.
    struct stat status {};
    if (found && (::lstat(target.c_str(), &status) != 0 || S_ISLNK(status.st_mode) ||
                  (!S_ISDIR(status.st_mode) && status.st_nlink > 1))) {
        item.setRefreshMark(mark);
        return;
    }
    bool placedNow = false;
    mark.folder = watchedFolder(parentOf(target), placedNow);
    if (mark.folder == kNone && !found) {
        // The failed attempt placed nothing. The folder above was watched before the file was looked for
        // (prepare watches every folder that exists on the path), as a watched parent is.
        placedNow = false;
        mark.folder = watchedAncestorOfMissing(parentOf(target), mark.missing);
    }
    if (found && item.kind() == ItemKind::Folder) {
        mark.self = watchedFolder(target, placedNow);
    }
    if (usesLink()) {
        mark.link = watchedFolder(m_catalogFolder, placedNow);
    }
    const bool folderWatched = mark.self != kNone || !found || item.kind() != ItemKind::Folder;
    const bool linkWatched = mark.link != kNone || !usesLink();
    const bool watched = mark.folder != kNone && folderWatched && linkWatched;
    // A watch placed only now came after the item was read: it is read once more at the next recompute.
    mark.stamp = watched && !placedNow ? static_cast<std::uint32_t>(m_clock) : 0;
    item.setRefreshMark(mark);
}
