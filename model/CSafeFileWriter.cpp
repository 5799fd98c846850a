#include "model/CSafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "text/PathUtil.h"

namespace {

std::array<int, 4> g_faults{};

// The errno value injected for a step, or 0.
int injected(CSafeFileWriter::Step step) {
    return g_faults[static_cast<std::size_t>(step)];
}

// The folder of the target as the system calls take it: "." for a bare file name.
std::string callFolderOf(const std::string& path) {
    std::string folder = jtext::folderOf(path);
    return folder.empty() ? std::string(".") : folder;
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save replaces: the target of a symbolic link, so that the link stays a link.
std::string resolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

// Opens a new hidden file beside the target, mode 0666 less the umask like any new file.
int createTemporary(const std::string& target, std::string* temporaryPath) {
    if (int fault = injected(CSafeFileWriter::Step::CreateTemporary)) {
        errno = fault;
        return -1;
    }
    std::string base = jtext::joinFolderAndName(
        callFolderOf(target), "." + fileNameOf(target) + ".tmp" + std::to_string(::getpid()) + "-");
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporaryPath = base + std::to_string(attempt);
        int fd = ::open(temporaryPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    if (int fault = injected(CSafeFileWriter::Step::Write)) {
        errno = fault;
        return false;
    }
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool syncFile(int fd) {
    if (int fault = injected(CSafeFileWriter::Step::Sync)) {
        errno = fault;
        return false;
    }
    return ::fsync(fd) == 0;
}

bool renameOver(const std::string& from, const std::string& to) {
    if (int fault = injected(CSafeFileWriter::Step::Rename)) {
        errno = fault;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

// Makes the rename itself durable. Some file systems refuse fsync on a folder; the new contents are on
// disk already, so such a refusal does not fail the save.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void CSafeFileWriter::injectFault(Step step, int errorNumber) {
    g_faults[static_cast<std::size_t>(step)] = errorNumber;
}

void CSafeFileWriter::clearFaults() {
    g_faults.fill(0);
}

std::optional<CFileError> CSafeFileWriter::write(const std::string& path, std::string_view bytes) {
    const std::string target = resolvedTarget(path);
    struct stat old {};
    const bool hadOldFile = ::stat(target.c_str(), &old) == 0;

    std::string temporary;
    int fd = createTemporary(target, &temporary);
    if (fd < 0)
        return CFileError::fromErrno(errno, path, true);

    auto failWith = [&](int errorNumber) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        return CFileError::fromErrno(errorNumber, path, true);
    };
    if (!writeAll(fd, bytes))
        return failWith(errno);
    if (hadOldFile && ::fchmod(fd, old.st_mode & 07777) != 0)
        return failWith(errno);
    if (!syncFile(fd))
        return failWith(errno);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return failWith(errno);
    if (!renameOver(temporary, target))
        return failWith(errno);
    syncFolder(callFolderOf(target));
    return std::nullopt;
}
