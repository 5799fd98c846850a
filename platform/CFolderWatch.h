#pragma once

// Watches folders for changes of their entries through inotify. A watch tells when an entry of the folder is
// created, deleted, moved, written or has its attributes changed, and when the folder itself goes away.
//
// Folders on file systems whose changes inotify does not see (network and user-space file systems, /proc
// and /sys) are refused, as is everything when inotify is not available: the caller then keeps reading the
// file system instead of relying on events.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CFolderWatch final {
public:
    // What happened, as bits.
    static constexpr std::uint32_t kEntryChanged = 1;    // an entry was written or changed attributes
    static constexpr std::uint32_t kEntryReplaced = 2;   // an entry was created, deleted or moved
    static constexpr std::uint32_t kEntryIsFolder = 4;   // the entry is a folder
    static constexpr std::uint32_t kFolderGone = 8;      // the watched folder was deleted, moved or unmounted;
                                                         // its watch has ended
    static constexpr std::uint32_t kOverflow = 16;       // events were lost, or a file system was mounted or
                                                         // unmounted: anything may have changed

    CFolderWatch() = default;
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;
    ~CFolderWatch();

    // Starts watching the folder; its watch number, or -1 when it cannot be watched.
    int add(const std::string& folder);
    // Ends one watch; its events stop.
    void remove(int watch);
    // Calls handle(watch, entry name, what) for every event that has arrived, without waiting; the name is
    // empty for events of the folder itself and for an overflow (watch -1).
    void takeEvents(const std::function<void(int, std::string_view, std::uint32_t)>& handle);
    // Ends every watch.
    void close();

private:
    bool open();

    // Whether the mounted file systems changed since the last look; a mount over a watched folder raises
    // no event in its watch.
    bool mountsChanged();

    int m_fd = -1;
    int m_mounts = -1;  // the process's mount table, which polls as changed after a mount or unmount
    bool m_failed = false;
};
