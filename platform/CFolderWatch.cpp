#include "platform/CFolderWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr std::uint32_t kWatchedEvents = IN_ATTRIB | IN_CLOSE_WRITE | IN_MODIFY | IN_CREATE | IN_DELETE |
                                         IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                         IN_ONLYDIR;

// File systems whose files change without inotify hearing of it: changes made by other machines, by a
// user-space server, or by the kernel itself.
bool isWatchableFileSystem(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0) {
        return false;
    }
    switch (static_cast<std::uint32_t>(info.f_type)) {
        case 0x6969:      // NFS
        case 0x517B:      // SMB
        case 0xFF534D42:  // CIFS
        case 0xFE534D42:  // SMB2
        case 0x65735546:  // FUSE
        case 0x01021997:  // 9P
        case 0x00C36400:  // Ceph
        case 0x5346414F:  // AFS
        case 0x73757245:  // Coda
        case 0x564C:      // NCP
        case 0x9FA0:      // proc
        case 0x62656572:  // sysfs
        case 0x64626720:  // debugfs
        case 0x74726163:  // tracefs
        case 0x27E0EB:    // cgroup
        case 0x63677270:  // cgroup2
            return false;
        default:
            return true;
    }
}

}  // namespace

CFolderWatch::~CFolderWatch() {
    close();
}

bool CFolderWatch::open() {
    if (m_fd >= 0) {
        return true;
    }
    if (m_failed) {
        return false;
    }
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    m_failed = m_fd < 0;
    if (!m_failed) {
        // Without the mount table, mounts cannot be followed: nothing is watched then.
        m_mounts = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
        if (m_mounts < 0) {
            ::close(m_fd);
            m_fd = -1;
            m_failed = true;
        }
    }
    return !m_failed;
}

bool CFolderWatch::mountsChanged() {
    struct pollfd look {};
    look.fd = m_mounts;
    look.events = POLLPRI;
    // The kernel reports each change of the table once, to the next poll.
    return ::poll(&look, 1, 0) > 0 && (look.revents & (POLLPRI | POLLERR)) != 0;
}

void CFolderWatch::close() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
    if (m_mounts >= 0) {
        ::close(m_mounts);
    }
    m_fd = -1;
    m_mounts = -1;
    m_failed = false;
}

int CFolderWatch::add(const std::string& folder) {
    if (folder.empty() || !open() || !isWatchableFileSystem(folder)) {
        return -1;
    }
    const int watch = ::inotify_add_watch(m_fd, folder.c_str(), kWatchedEvents);
    return watch < 0 ? -1 : watch;
}

void CFolderWatch::remove(int watch) {
    if (m_fd >= 0 && watch >= 0) {
        ::inotify_rm_watch(m_fd, watch);
    }
}

void CFolderWatch::takeEvents(const std::function<void(int, std::string_view, std::uint32_t)>& handle) {
    if (m_fd < 0) {
        return;
    }
    if (mountsChanged()) {
        handle(-1, {}, kOverflow);
    }
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            return;  // EAGAIN: nothing more has arrived
        }
        for (ssize_t at = 0; at < length;) {
            struct inotify_event event {};
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            const std::string_view entry = event.len > 0 ? std::string_view(name, ::strnlen(name, event.len))
                                                         : std::string_view();
            std::uint32_t what = 0;
            if ((event.mask & IN_Q_OVERFLOW) != 0) {
                handle(-1, {}, kOverflow);
                continue;
            }
            if ((event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED)) != 0) {
                what |= kFolderGone;
                if ((event.mask & IN_MOVE_SELF) != 0) {
                    // The folder lives on under another name; its path no longer leads to it.
                    ::inotify_rm_watch(m_fd, event.wd);
                }
            }
            if ((event.mask & (IN_ATTRIB | IN_CLOSE_WRITE | IN_MODIFY)) != 0) {
                what |= kEntryChanged;
            }
            if ((event.mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0) {
                what |= kEntryReplaced;
            }
            if ((event.mask & IN_ISDIR) != 0) {
                what |= kEntryIsFolder;
            }
            if (what != 0) {
                handle(event.wd, entry, what);
            }
        }
    }
}
