#pragma once

// Shell links (.lnk files in the published Shell Link binary format) that follow moved files. A catalog
// that uses shortcuts keeps one link per item in its catalog folder and re-reads each item's location
// from it, so an item follows its file when the file is moved or renamed.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a link records about its target, as the file system reported it when the link was made.
struct CFindData {
    std::uint32_t attributes = 0;   // FILE_ATTRIBUTE_* bits (0x10 directory, 0x20 archive, 0x01 read-only)
    std::int64_t creationTime = 0;  // FILETIME: 100 ns units since 1601-01-01 UTC
    std::int64_t accessTime = 0;
    std::int64_t writeTime = 0;
    std::uint64_t fileSize = 0;
    bool isDirectory() const { return (attributes & 0x10) != 0; }
};

// A failure with its context: what went wrong, the file, and the byte offset in it (-1 when none applies).
struct CShellLinkError {
    std::string what;
    std::string path;
    std::int64_t offset = -1;
};

class CShellLink final {
public:
    // The find data of an existing file or folder, or nullopt when nothing exists at the path.
    static std::optional<CFindData> findDataOf(const std::string& path);

    // A link to an existing or missing target; the find data are read from the file system when the
    // target exists.
    static CShellLink forTarget(const std::string& targetPath);

    // Reads a link file. A file that is truncated or is not a shell link gives an error with the byte
    // offset where reading failed, never a crash. The target path is the link's Unicode local base path
    // when it has one, else its local base path in the system code page (UTF-8 here), else its relative
    // path taken from the link's folder.
    static std::optional<CShellLink> load(const std::string& linkPath, CShellLinkError* error = nullptr);
    // Writes the link file (replacing it only once the new file is complete); false with the error filled
    // in when it cannot be written.
    bool save(const std::string& linkPath, CShellLinkError* error = nullptr) const;

    // Finds the target without any user interface: true when the recorded target exists (its find data
    // are refreshed), or when a bounded search (same name, then same size and modification time, then
    // same inode on the same file system; see CMovedFileSearch) below the target's old parent folder, or
    // that folder's parent when it is gone, and below `extraSearchFolder` (may be empty) finds the moved
    // file or folder; then the target path and find data are updated. False, with nothing changed, when
    // the target is lost. Unreadable or missing folders are skipped; nothing is thrown.
    bool resolve(const std::string& extraSearchFolder);

    const std::string& targetPath() const { return m_targetPath; }
    const CFindData& findData() const { return m_findData; }
    void setTargetPath(const std::string& path) { m_targetPath = path; }
    void setFindData(const CFindData& data) { m_findData = data; }

    // The target's file system (st_dev) and inode, recorded in the link so that a moved or renamed
    // target is found again on the same file system; 0 when unknown (a link made for a missing target,
    // or a link written by another program).
    std::uint64_t device() const { return m_device; }
    std::uint64_t inode() const { return m_inode; }
    void setFileIdentity(std::uint64_t device, std::uint64_t inode);

private:
    bool takeIdentityOf(const std::string& path);

    std::string m_targetPath;
    CFindData m_findData;
    std::uint64_t m_inode = 0;
    std::uint64_t m_device = 0;
};
