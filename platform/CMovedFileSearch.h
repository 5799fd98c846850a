#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/CShellLink.h"

// Looks for a link target that is no longer where the link says: below the target's old parent folder
// (or that folder's parent when the old parent is gone too) and below one more folder given by the caller.
// A candidate must be of the same kind (file or folder) and is ranked by what it shares with the lost
// target: the same name counts most, then the same size and modification time (files only), then the
// same inode on the same file system with the same creation time; a tie goes to the candidate found first,
// folders being walked breadth first with the names of each folder in order. So a file moved into a subfolder
// is found by its name, a renamed file by its size and time, and a renamed folder by its inode.
//
// The walk is bounded: it visits at most a fixed number of folder entries and descends a fixed number of
// levels; it never follows a symbolic link and lists no folder twice, so link loops and bind mounts
// cannot make it run forever. Folders that cannot be read are skipped.
class CMovedFileSearch final {
public:
    static constexpr std::size_t kDefaultEntryLimit = 20000;
    static constexpr int kDefaultDepthLimit = 16;

    CMovedFileSearch(std::string lostPath, const CFindData& recorded, std::uint64_t device,
                     std::uint64_t inode);

    // Changes the bounds of the walk: the folder entries visited in all, and the levels below a root.
    void setLimits(std::size_t entryLimit, int depthLimit);

    // The path of the best candidate, or nullopt when none is found within the bounds.
    std::optional<std::string> find(const std::string& extraFolder);

    // The folder entries the last find visited.
    std::size_t visitedEntries() const { return m_visitedEntries; }

private:
    std::vector<std::filesystem::path> searchRoots(const std::string& extraFolder) const;
    void walk(const std::filesystem::path& root);
    std::vector<std::filesystem::directory_entry> sortedEntriesOf(const std::filesystem::path& folder);
    bool firstVisitOf(std::uint64_t device, std::uint64_t inode);
    int scoreOf(const std::filesystem::path& path, const CFindData& data, std::uint64_t device,
                std::uint64_t inode) const;
    int bestPossibleScore() const;
    bool finished() const;

    std::string m_lostPath;
    std::string m_lostName;
    CFindData m_recorded;
    std::uint64_t m_device;
    std::uint64_t m_inode;
    std::size_t m_entryLimit = kDefaultEntryLimit;
    int m_depthLimit = kDefaultDepthLimit;

    std::size_t m_visitedEntries = 0;
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_listedFolders;
    std::optional<std::string> m_best;
    int m_bestScore = 0;
};
