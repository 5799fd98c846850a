#include "catalogfile/CSafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/CTemporaryFile.h"
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

// The file a save replaces: the target of a symbolic link, so that the link stays a link.
std::string resolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

// Opens the temporary file beside the target, exclusively and with the target's mode (see CTemporaryFile).
int createTemporary(const std::string& target, std::optional<mode_t> mode, std::string* temporaryPath) {
    if (int fault = injected(CSafeFileWriter::Step::CreateTemporary)) {
        errno = fault;
        return -1;
    }
    return CTemporaryFile::create(target, mode, temporaryPath);
}

// A file that nobody may write (no write bit at all, as a file made read-only has) or that this process
// may not write is not replaced, although its folder would allow the rename.
bool isReadOnly(const std::string& target, const struct stat& status) {
    return (status.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0;
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
    if (hadOldFile && S_ISREG(old.st_mode) && isReadOnly(target, old))
        return CFileError::fromErrno(EACCES, path, true);
    // What killed saves left behind goes first, so that it cannot fill the disk this save needs.
    CTemporaryFile::removeStale(callFolderOf(target));

    std::string temporary;
    int fd =
        createTemporary(target, hadOldFile ? std::optional<mode_t>(old.st_mode) : std::nullopt, &temporary);
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
