#include "platform/CFileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

CFileLock::CFileLock(CFileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

CFileLock& CFileLock::operator=(CFileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

CFileLock::~CFileLock() {
    release();
}

void CFileLock::release() {
    if (m_fd >= 0) {
        ::close(m_fd);  // closing the only descriptor of the open file drops its flock
        m_fd = -1;
    }
}

int CFileLock::acquire(const std::string& path) {
    release();
    for (;;) {
        // Read-only and non-blocking: a read-only catalog can be locked too, and a FIFO planted under the
        // catalog's name does not hang the open.
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            return errno;
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        struct stat held {};
        struct stat current {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &current) == 0 && held.st_dev == current.st_dev &&
            held.st_ino == current.st_ino) {
            m_fd = fd;
            return 0;
        }
        ::close(fd);  // the file was replaced while we waited: lock the one that is there now
    }
}
