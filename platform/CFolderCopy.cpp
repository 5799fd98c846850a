#include "platform/CFolderCopy.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "text/PathUtil.h"

namespace {

constexpr const char* kTemporaryPattern = ".quillory-copy-XXXXXX";
constexpr std::size_t kBufferSize = 256 * 1024;

struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isSpecial(mode_t mode) { return !S_ISREG(mode) && !S_ISDIR(mode) && !S_ISLNK(mode); }

// Writes all of `size` bytes; 0 or the errno value.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

std::string childOf(const std::string& folder, const char* name) { return jtext::joinFolderAndName(folder, name); }

}  // namespace

const char* const CFolderCopy::kSkippedSpecial = "特殊なファイルのためコピーしませんでした";

CFolderCopy::CFolderCopy(std::string source, std::string folder, NameFor nameFor)
    : m_source(std::move(source)), m_folder(std::move(folder)), m_nameFor(std::move(nameFor)) {}

std::string CFolderCopy::reasonOf(int error) {
    switch (error) {
    case ENOSPC:
        return "ディスクの空き容量が不足しています。";
    case EDQUOT:
        return "ディスクの使用量の上限を超えています。";
    case EFBIG:
        return "ファイルが大きすぎるため書き込めません。";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "読み取り専用のファイル システムには書き込めません。";
    case ENOENT:
        return "ファイルまたはフォルダが見つかりません。";
    case ENOTDIR:
        return "コピー先がフォルダではありません。";
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    case EIO:
        return "ディスクの読み書き中にエラーが発生しました。";
    default:
        return std::string("予期しないエラーが発生しました（") + std::strerror(error) + "）。";
    }
}

int CFolderCopy::fail(int error, const std::string& path) {
    m_failedPath = path;
    return error;
}

bool CFolderCopy::refuse(int error) {
    m_failures.push_back({m_source, reasonOf(error)});
    return false;
}

bool CFolderCopy::run() {
    struct stat info {};
    if (::lstat(m_source.c_str(), &info) != 0) {
        return refuse(errno);
    }
    if (isSpecial(info.st_mode)) {
        m_failures.push_back({m_source, kSkippedSpecial});
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        // symlink() makes the link whole or not at all, and never over an existing name.
        for (int n = 1;; ++n) {
            const std::string target = jtext::joinFolderAndName(m_folder, m_nameFor(n));
            const int error = copyLink(m_source, target);
            if (error == 0) {
                m_copyPath = target;
                return true;
            }
            if (error != EEXIST || m_failedPath != target) {
                return refuse(error);
            }
        }
    }
    std::string temporary = jtext::joinFolderAndName(m_folder, kTemporaryPattern);
    const bool isFolder = S_ISDIR(info.st_mode);
    int error = 0;
    if (isFolder) {
        if (!::mkdtemp(temporary.data())) {
            return refuse(errno);
        }
        m_temporary = temporary;
        error = copyFolderContents(m_source, temporary);
        if (error == 0) {
            error = copyFolderAttributes(m_source, temporary);
        }
    } else {
        const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
        if (fd < 0) {
            return refuse(errno);
        }
        error = copyFile(m_source, fd, temporary);
    }
    if (error == 0) {
        error = placeUnderFreeName(temporary, isFolder);
    }
    if (error != 0) {
        removeTree(temporary);
        // What was copied from the folder is gone with it, so only the reason is left to tell.
        m_failures.erase(std::remove_if(m_failures.begin(), m_failures.end(),
                                        [](const CCopyFailure& failure) { return failure.what == kSkippedSpecial; }),
                         m_failures.end());
        return refuse(error);
    }
    return true;
}

int CFolderCopy::copyLink(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0) {
        return fail(errno, from);
    }
    std::string target(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
    for (;;) {
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0) {
            return fail(errno, from);
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);  // grew since lstat
    }
    if (::symlink(target.c_str(), to.c_str()) != 0) {
        return fail(errno, to);
    }
    return 0;
}

int CFolderCopy::copyFile(const std::string& from, int toFd, const std::string& to) {
    const int fromFd = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    int error = fromFd < 0 ? fail(errno, from) : 0;
    struct stat info {};
    if (error == 0 && ::fstat(fromFd, &info) != 0) {
        error = fail(errno, from);
    }
    if (error == 0 && !S_ISREG(info.st_mode)) {
        error = fail(EINVAL, from);  // replaced by something else since it was listed
    }
    if (error == 0) {
        std::unique_ptr<char[]> buffer(new char[kBufferSize]);
        for (;;) {
            const ssize_t got = ::read(fromFd, buffer.get(), kBufferSize);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                error = fail(errno, from);
                break;
            }
            if (got == 0) {
                break;
            }
            if (const int written = writeAll(toFd, buffer.get(), static_cast<std::size_t>(got)); written != 0) {
                error = fail(written, to);
                break;
            }
        }
    }
    if (error == 0) {
        const timespec times[2] = {info.st_atim, info.st_mtim};
        if (::fchmod(toFd, info.st_mode & 07777) != 0 || ::futimens(toFd, times) != 0) {
            error = fail(errno, to);
        }
    }
    if (fromFd >= 0) {
        ::close(fromFd);
    }
    // A delayed write error (a full disk on a network file system) shows at close.
    if (::close(toFd) != 0 && error == 0 && errno != EINTR) {
        error = fail(errno, to);
    }
    return error;
}

int CFolderCopy::copyFolderContents(const std::string& from, const std::string& to) {
    std::unique_ptr<DIR, CloseDir> dir(::opendir(from.c_str()));
    if (!dir) {
        return fail(errno, from);
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) {
            return errno != 0 ? fail(errno, from) : 0;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        const std::string source = childOf(from, entry->d_name);
        const std::string target = childOf(to, entry->d_name);
        struct stat info {};
        if (::lstat(source.c_str(), &info) != 0) {
            return fail(errno, source);
        }
        int error = 0;
        if (S_ISLNK(info.st_mode)) {
            error = copyLink(source, target);
        } else if (S_ISDIR(info.st_mode)) {
            error = ::mkdir(target.c_str(), 0700) != 0 ? fail(errno, target) : copyFolderContents(source, target);
            if (error == 0) {
                error = copyFolderAttributes(source, target);
            }
        } else if (S_ISREG(info.st_mode)) {
            const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            error = fd < 0 ? fail(errno, target) : copyFile(source, fd, target);
        } else {
            m_failures.push_back({source, kSkippedSpecial});
        }
        if (error != 0) {
            return error;
        }
    }
}

int CFolderCopy::copyFolderAttributes(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0) {
        return fail(errno, from);
    }
    // A folder keeps the owner's full access until the copy is placed, so that it can be filled and, on a
    // failure, removed; a folder that should not have it gets its exact mode once the copy is placed.
    const mode_t exact = info.st_mode & 07777;
    const mode_t mode = exact | S_IRWXU;
    if (mode != exact) {
        m_restrictedFolders.emplace_back(to.substr(m_temporary.size()), exact);
    }
    const timespec times[2] = {info.st_atim, info.st_mtim};
    if (::chmod(to.c_str(), mode) != 0 || ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
        return fail(errno, to);
    }
    return 0;
}

int CFolderCopy::placeUnderFreeName(const std::string& temporary, bool isFolder) {
    for (int n = 1;; ++n) {
        const std::string target = jtext::joinFolderAndName(m_folder, m_nameFor(n));
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            m_copyPath = target;
            break;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return fail(errno, target);
        }
        // A file system without RENAME_NOREPLACE: a file is linked (which never replaces), a folder is
        // renamed after a check.
        if (!isFolder) {
            if (::link(temporary.c_str(), target.c_str()) == 0) {
                ::unlink(temporary.c_str());
                m_copyPath = target;
                break;
            }
            if (errno == EEXIST) {
                continue;
            }
            return fail(errno, target);
        }
        struct stat taken {};
        if (::lstat(target.c_str(), &taken) == 0) {
            continue;
        }
        if (errno != ENOENT || ::rename(temporary.c_str(), target.c_str()) != 0) {
            return fail(errno, target);
        }
        m_copyPath = target;
        break;
    }
    // Nothing more is written into the copy: folders get their exact modes, inner ones first.
    for (const auto& [relative, mode] : m_restrictedFolders) {
        ::chmod((m_copyPath + relative).c_str(), mode);
    }
    return 0;
}

void CFolderCopy::removeTree(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        ::unlink(path.c_str());
        return;
    }
    ::chmod(path.c_str(), 0700);  // a copied read-only folder must still be emptied
    if (std::unique_ptr<DIR, CloseDir> dir(::opendir(path.c_str())); dir) {
        while (const dirent* entry = ::readdir(dir.get())) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                removeTree(childOf(path, entry->d_name));
            }
        }
    }
    ::rmdir(path.c_str());
}
