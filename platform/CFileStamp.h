#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct stat;

// What tells whether a file was changed or replaced behind our back: its size, its modification time to
// the nanosecond, and its device and inode (a file written elsewhere and renamed over the path is a new
// inode even when size and time were copied).
class CFileStamp final {
public:
    // The stamp of the file at the path, or nullopt when there is none (or it cannot be examined).
    static std::optional<CFileStamp> of(const std::string& path);
    // The stamp of an open file: of exactly the file that was read through the descriptor.
    static std::optional<CFileStamp> ofOpenFile(int fd);

    std::uint64_t size() const { return m_size; }
    std::int64_t modifiedSeconds() const { return m_modifiedSeconds; }
    std::int64_t modifiedNanoseconds() const { return m_modifiedNanoseconds; }
    std::uint64_t device() const { return m_device; }
    std::uint64_t inode() const { return m_inode; }

    bool operator==(const CFileStamp&) const = default;

private:
    static CFileStamp fromStatus(const struct stat& status);

    std::uint64_t m_size = 0;
    std::int64_t m_modifiedSeconds = 0;
    std::int64_t m_modifiedNanoseconds = 0;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
};
