#include "platform/CFileStamp.h"

#include <sys/stat.h>

std::optional<CFileStamp> CFileStamp::of(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return fromStatus(status);
}

std::optional<CFileStamp> CFileStamp::ofOpenFile(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    return fromStatus(status);
}

CFileStamp CFileStamp::fromStatus(const struct stat& status) {
    CFileStamp stamp;
    stamp.m_size = static_cast<std::uint64_t>(status.st_size);
    stamp.m_modifiedSeconds = static_cast<std::int64_t>(status.st_mtim.tv_sec);
    stamp.m_modifiedNanoseconds = static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    stamp.m_device = static_cast<std::uint64_t>(status.st_dev);
    stamp.m_inode = static_cast<std::uint64_t>(status.st_ino);
    return stamp;
}
