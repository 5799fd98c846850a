#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One file that was not copied, or not copied whole: its path and why, in the user's words.
struct CCopyFailure {
    std::string path;
    std::string what;
};

// Copies one file, folder or symbolic link into a folder so that a copy appears under its final name only
// when it is whole: a file or a folder is built under a hidden temporary name in the destination and then
// renamed, without replacing anything, to the first free name; on failure everything made is removed. A
// symbolic link is copied as a link (at any depth). Special files (FIFOs, sockets, devices) are skipped and
// named, while the regular files beside them are still copied. Reasons are the system's, in Japanese: a
// full disk reads as a full disk.
class CFolderCopy final {
public:
    // The n-th name to try (n from 1): the source's own name for 1, numbered names after it.
    using NameFor = std::function<std::string(int n)>;

    CFolderCopy(std::string source, std::string folder, NameFor nameFor);

    // Copies; true when a copy was made (whole, or whole but for the skipped special files). failures()
    // then names each skipped file, or, on false, why nothing was made.
    bool run();
    const std::string& copyPath() const { return m_copyPath; }
    const std::vector<CCopyFailure>& failures() const { return m_failures; }

    // The text the user reads for an errno value.
    static std::string reasonOf(int error);
    // The text for a special file that was left out.
    static const char* const kSkippedSpecial;

private:
    // Each returns 0 or the errno value of what failed, with m_failedPath set to the path it failed on.
    int copyLink(const std::string& from, const std::string& to);
    int copyFile(const std::string& from, int toFd, const std::string& to);
    int copyFolderContents(const std::string& from, const std::string& to);
    int copyFolderAttributes(const std::string& from, const std::string& to);
    int fail(int error, const std::string& path);
    // Renames the whole copy at `temporary` to the first free name; 0 or the errno value.
    int placeUnderFreeName(const std::string& temporary, bool isFolder);
    bool refuse(int error);
    void removeTree(const std::string& path);

    std::string m_source;
    std::string m_folder;
    NameFor m_nameFor;
    std::string m_copyPath;
    std::string m_failedPath;
    std::string m_temporary;
    // Folders below the copy (paths relative to it, "" for itself) whose own mode lacks the owner's full
    // access, deepest first, with that mode.
    std::vector<std::pair<std::string, mode_t>> m_restrictedFolders;
    std::vector<CCopyFailure> m_failures;
};
