#include "platform/CFileIdentity.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

#include "platform/ShellLinkFormat.h"

namespace {

// The seconds between 1601-01-01 and 1970-01-01, the two epochs.
constexpr std::int64_t kEpochDifferenceSeconds = 11644473600;

// Everything the identity needs, whichever system call delivered it.
struct RawStatus {
    std::uint32_t mode = 0;
    std::uint64_t size = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    struct timespec accessed {};
    struct timespec modified {};
    struct timespec created {};  // the birth time where the file system keeps one, else the write time
};

std::optional<RawStatus> statusByStatx(const std::string& path, bool& unsupported) {
    struct statx status {};
    if (statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &status) != 0) {
        unsupported = errno == ENOSYS;
        return std::nullopt;
    }
    RawStatus raw;
    raw.mode = status.stx_mode;
    raw.size = status.stx_size;
    raw.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    raw.inode = status.stx_ino;
    raw.accessed = {static_cast<time_t>(status.stx_atime.tv_sec), status.stx_atime.tv_nsec};
    raw.modified = {static_cast<time_t>(status.stx_mtime.tv_sec), status.stx_mtime.tv_nsec};
    raw.created = raw.modified;
    if ((status.stx_mask & STATX_BTIME) != 0) {
        raw.created = {static_cast<time_t>(status.stx_btime.tv_sec), status.stx_btime.tv_nsec};
    }
    return raw;
}

std::optional<RawStatus> statusByStat(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    RawStatus raw;
    raw.mode = status.st_mode;
    raw.size = static_cast<std::uint64_t>(status.st_size);
    raw.device = status.st_dev;
    raw.inode = status.st_ino;
    raw.accessed = status.st_atim;
    raw.modified = status.st_mtim;
    raw.created = status.st_mtim;
    return raw;
}

std::optional<RawStatus> statusOf(const std::string& path) {
    bool unsupported = false;
    if (auto raw = statusByStatx(path, unsupported)) {
        return raw;
    }
    return unsupported ? statusByStat(path) : std::nullopt;
}

bool isHiddenName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > 1 && name[0] == '.' && name != "..";
}

// Windows attributes: folders are "directory", files "archive" (as a new file is there); a file or
// folder whose owner may not write it is "read-only"; a dot name is "hidden", as file managers show it.
std::uint32_t attributesOf(const RawStatus& raw, const std::string& path) {
    using namespace ShellLinkFormat;
    std::uint32_t attributes = S_ISDIR(raw.mode) ? kAttributeDirectory : kAttributeArchive;
    if ((raw.mode & S_IWUSR) == 0) {
        attributes |= kAttributeReadOnly;
    }
    if (isHiddenName(path)) {
        attributes |= kAttributeHidden;
    }
    return attributes;
}

std::int64_t fileTimeOfSpec(const struct timespec& time) {
    return CFileIdentity::fileTimeOf(time.tv_sec, time.tv_nsec);
}

}  // namespace

std::int64_t CFileIdentity::fileTimeOf(std::int64_t unixSeconds, std::int64_t nanoseconds) {
    return (unixSeconds + kEpochDifferenceSeconds) * 10'000'000 + nanoseconds / 100;
}

std::optional<CFileIdentity> CFileIdentity::of(const std::string& path) {
    if (path.empty()) {
        return std::nullopt;
    }
    const auto raw = statusOf(path);
    if (!raw) {
        return std::nullopt;
    }
    CFileIdentity identity;
    identity.m_findData.attributes = attributesOf(*raw, path);
    identity.m_findData.creationTime = fileTimeOfSpec(raw->created);
    identity.m_findData.accessTime = fileTimeOfSpec(raw->accessed);
    identity.m_findData.writeTime = fileTimeOfSpec(raw->modified);
    identity.m_findData.fileSize = S_ISDIR(raw->mode) ? 0 : raw->size;
    identity.m_device = raw->device;
    identity.m_inode = raw->inode;
    return identity;
}
