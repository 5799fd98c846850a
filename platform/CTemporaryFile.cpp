#include "platform/CTemporaryFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

#include "text/PathUtil.h"

namespace {

constexpr std::string_view kMarker = ".tmp";

// The folder as the system calls take it: "." for a bare file name.
std::string callFolderOf(const std::string& path) {
    std::string folder = jtext::folderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// 64 random bits as 16 hex digits; the name cannot be guessed ahead of the save.
std::string randomSuffix() {
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
        // No entropy available: O_EXCL still makes the creation safe, only the name is less secret.
        value = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ULL ^
                static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&value));
    }
    static const char* const kDigits = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

bool processIsGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

int CTemporaryFile::create(const std::string& target, std::optional<mode_t> mode,
                           std::string* temporaryPath) {
    const std::string base = callFolderOf(target) + "/." + fileNameOf(target) + std::string(kMarker) + "-" +
                             std::to_string(::getpid()) + "-";
    const mode_t createMode = mode ? (*mode & 0777) : 0666;
    for (int attempt = 0; attempt < 16; ++attempt) {
        *temporaryPath = base + randomSuffix();
        const int fd =
            ::open(temporaryPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        // The umask may have taken bits the final file has; set them before a byte is written.
        if (mode && ::fchmod(fd, *mode & 07777) != 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporaryPath->c_str());
            errno = error;
            return -1;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

pid_t CTemporaryFile::ownerOf(const std::string& name) {
    // ".NAME.tmp-PID-RANDOM", or the older ".NAME.tmpPID-N".
    if (name.size() < 2 || name[0] != '.')
        return 0;
    const std::size_t marker = name.rfind(kMarker);
    if (marker == std::string::npos || marker < 2)
        return 0;
    std::size_t pos = marker + kMarker.size();
    if (pos < name.size() && name[pos] == '-')
        ++pos;
    long long pid = 0;
    const std::size_t digitsStart = pos;
    while (pos < name.size() && name[pos] >= '0' && name[pos] <= '9' && pos - digitsStart < 10)
        pid = pid * 10 + (name[pos++] - '0');
    if (pos == digitsStart || pos + 1 >= name.size() || name[pos] != '-' || pid <= 0 || pid > INT_MAX)
        return 0;
    for (std::size_t i = pos + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return 0;
    }
    return static_cast<pid_t>(pid);
}

int CTemporaryFile::removeStale(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return 0;
    int removed = 0;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t owner = ownerOf(name);
        if (owner == 0 || owner == ::getpid() || !processIsGone(owner))
            continue;
        struct stat status {};
        if (::fstatat(dirFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(status.st_mode))
            continue;
        if (::unlinkat(dirFd, name.c_str(), 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
