#include "platform/CMovedFileSearch.h"

#include <algorithm>
#include <deque>
#include <system_error>

#include "platform/CFileIdentity.h"

namespace fs = std::filesystem;

namespace {

constexpr int kNameScore = 4;
constexpr int kSizeAndTimeScore = 2;
constexpr int kInodeScore = 1;

bool isSearchableFolder(const fs::path& folder) {
    std::error_code code;
    // The whole file system is no sensible place to look for one file.
    return !folder.empty() && folder != folder.root_path() && fs::is_directory(folder, code);
}

}  // namespace

CMovedFileSearch::CMovedFileSearch(std::string lostPath, const CFindData& recorded, std::uint64_t device,
                                   std::uint64_t inode)
    : m_lostPath(std::move(lostPath)),
      m_lostName(fs::path(m_lostPath).filename().string()),
      m_recorded(recorded),
      m_device(device),
      m_inode(inode) {}

void CMovedFileSearch::setLimits(std::size_t entryLimit, int depthLimit) {
    m_entryLimit = entryLimit;
    m_depthLimit = depthLimit;
}

std::optional<std::string> CMovedFileSearch::find(const std::string& extraFolder) {
    m_visitedEntries = 0;
    m_listedFolders.clear();
    m_best.reset();
    m_bestScore = 0;
    for (const fs::path& root : searchRoots(extraFolder)) {
        walk(root);
        if (finished()) {
            break;
        }
    }
    return m_best;
}

std::vector<fs::path> CMovedFileSearch::searchRoots(const std::string& extraFolder) const {
    std::vector<fs::path> roots;
    const fs::path parent = fs::path(m_lostPath).parent_path();
    if (isSearchableFolder(parent)) {
        roots.push_back(parent);
    } else if (isSearchableFolder(parent.parent_path())) {
        roots.push_back(parent.parent_path());
    }
    if (isSearchableFolder(extraFolder)) {
        roots.push_back(extraFolder);
    }
    return roots;
}

bool CMovedFileSearch::finished() const {
    return m_visitedEntries >= m_entryLimit || (m_best && m_bestScore >= bestPossibleScore());
}

int CMovedFileSearch::bestPossibleScore() const {
    return kNameScore + (m_recorded.isDirectory() ? 0 : kSizeAndTimeScore) + (m_inode != 0 ? kInodeScore : 0);
}

int CMovedFileSearch::scoreOf(const fs::path& path, const CFindData& data, std::uint64_t device,
                              std::uint64_t inode) const {
    if (data.isDirectory() != m_recorded.isDirectory()) {
        return 0;
    }
    int score = 0;
    if (path.filename() == m_lostName) {
        score += kNameScore;
    }
    if (!m_recorded.isDirectory() && data.fileSize == m_recorded.fileSize &&
        data.writeTime == m_recorded.writeTime) {
        score += kSizeAndTimeScore;
    }
    // An inode number is reused once its file is deleted; the birth time tells a reused one apart.
    if (m_inode != 0 && inode == m_inode && device == m_device &&
        data.creationTime == m_recorded.creationTime) {
        score += kInodeScore;
    }
    return score;
}

bool CMovedFileSearch::firstVisitOf(std::uint64_t device, std::uint64_t inode) {
    return m_listedFolders.insert({device, inode}).second;
}

// The entries of a folder in name order, each counted against the entry limit; an unreadable folder
// has none.
std::vector<fs::directory_entry> CMovedFileSearch::sortedEntriesOf(const fs::path& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code code;
    fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, code);
    for (; !code && it != fs::directory_iterator() && m_visitedEntries < m_entryLimit; it.increment(code)) {
        entries.push_back(*it);
        ++m_visitedEntries;
    }
    std::sort(entries.begin(), entries.end(),
              [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path() < b.path(); });
    return entries;
}

void CMovedFileSearch::walk(const fs::path& root) {
    const auto rootIdentity = CFileIdentity::of(root.string());
    if (!rootIdentity || !firstVisitOf(rootIdentity->device(), rootIdentity->inode())) {
        return;
    }
    std::deque<std::pair<fs::path, int>> folders{{root, 0}};
    while (!folders.empty() && !finished()) {
        const auto [folder, depth] = folders.front();
        folders.pop_front();
        for (const fs::directory_entry& entry : sortedEntriesOf(folder)) {
            std::error_code code;
            if (entry.is_symlink(code) || code) {
                continue;
            }
            const auto identity = CFileIdentity::of(entry.path().string());
            if (!identity) {
                continue;
            }
            const int score =
                scoreOf(entry.path(), identity->findData(), identity->device(), identity->inode());
            if (score > m_bestScore) {
                m_bestScore = score;
                m_best = entry.path().string();
            }
            if (identity->findData().isDirectory() && depth + 1 < m_depthLimit &&
                firstVisitOf(identity->device(), identity->inode())) {
                folders.emplace_back(entry.path(), depth + 1);
            }
        }
    }
}
