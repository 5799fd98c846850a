#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/CShellLink.h"

// What the file system says about a file or folder: the find data a shell link records, and the device
// and inode that identify the file across moves and renames on one file system. Symbolic links are
// followed, so the identity is that of the file a path finally names.
class CFileIdentity final {
public:
    // The identity of what exists at the path, or nullopt when nothing does (or it cannot be examined).
    static std::optional<CFileIdentity> of(const std::string& path);

    // FILETIME (100 ns units since 1601-01-01 UTC) of a time given in seconds and nanoseconds since 1970.
    static std::int64_t fileTimeOf(std::int64_t unixSeconds, std::int64_t nanoseconds);

    const CFindData& findData() const { return m_findData; }
    std::uint64_t device() const { return m_device; }
    std::uint64_t inode() const { return m_inode; }

private:
    CFindData m_findData;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
