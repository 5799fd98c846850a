#pragma once

// Tells which items need their size, date, kind and display name read again at a recompute.
//
// After an item is refreshed, the folder that holds its file (and, for a folder item, the folder itself; for
// an item kept through a shortcut, the catalog folder that holds the shortcut) is watched for changes, with
// every folder above it, so that a rename or deletion higher up is seen too. The item then counts as current
// until an event names its file or shortcut, a folder on its path is replaced, a watch ends, or the event
// queue overflows. An item whose folders cannot be watched (missing folders, network file systems, no
// inotify), a symbolic link and a file with more than one name are never current: they are read at every
// recompute, as before. Writes through a shared memory mapping raise no event; they are not followed.
//
// A missing file whose folder is missing too is watched through the nearest folder above it that exists:
// nothing on its path can appear without an event naming the first missing folder there. A change of the
// mounted file systems makes every item stale, since a mount over a watched folder raises no event in it.
//
// Time is counted in recomputes: events are taken at the start of each, before any item is read, so an item
// read at recompute C has seen every event taken at C, and events that arrive while it is read are taken at
// C + 1.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/CFileItem.h"
#include "platform/CFolderWatch.h"

class CRefreshTracker final {
public:
    // Forgets every watch and every item's state.
    void reset();
    // Every item must be read again (the refresh command).
    void invalidateAll() { m_validFrom = m_clock + 1; }

    // Starts a recompute: takes the events that arrived since the last one. The catalog folder and the
    // shortcut option decide how items are found; when either changed, no item is current.
    void beginRecompute(std::string_view catalogFolder, bool useShortcuts);
    // Whether the item's derived fields still match the file system.
    bool isCurrent(const CFileItem& item) const;
    // Called before reading the item: watches the folders its stored path names, so that nothing that
    // happens while it is read goes unseen.
    void prepare(const CFileItem& item);
    // Called after reading the item: it is current from now on when its folders are watched. `found` says
    // whether its file was there; a missing file is current too, since its reappearance is an event.
    void noteRefreshed(CFileItem& item, bool found);

private:
    struct Folder {
        std::string path;
        int watch = -1;
        std::uint64_t watchedSince = 0;  // recompute at which the present watch was placed
        std::uint64_t invalidatedAt = 0; // the folder itself or one above it changed
        std::uint64_t lastAnyEvent = 0;
        std::uint64_t failedAt = 0;      // recompute at which a watch could not be placed
        std::unordered_map<std::string, std::uint64_t> lastEventOf;  // entry name -> recompute
    };
    static constexpr std::size_t kMaxRememberedNames = 4096;

    // The folder's index, watching it and every folder above it; kNone when a watch cannot be placed.
    std::uint32_t watchFolder(const std::string& path);
    // The same; placedNow becomes true when the watch did not exist yet.
    std::uint32_t watchedFolder(const std::string& path, bool& placedNow);
    // For a folder that could not be watched: the nearest watched folder above it, when the folder right
    // below that one does not exist at all; `missing` becomes the number of folders in between, counting
    // `path` itself. kNone when the folder exists (on a file system that cannot be watched, say).
    std::uint32_t watchedAncestorOfMissing(const std::string& path, std::uint16_t& missing);
    // Whether the folder has been watched without a break, and nothing on its path replaced, since `stamp`
    // (a change higher up marks every folder below it).
    bool folderUnchangedSince(std::uint32_t folder, std::uint64_t stamp) const;
    // The same, and no event named the entry since `stamp`.
    bool entryUnchangedSince(std::uint32_t folder, std::string_view name, std::uint64_t stamp) const;
    void handleEvent(int watch, std::string_view name, std::uint32_t what);
    void invalidateBelow(const std::string& path);
    // Whether items are found through shortcuts in the catalog folder.
    bool usesLink() const { return m_useShortcuts && !m_catalogFolder.empty(); }
    // The file whose data the item shows, "" when its path is not absolute.
    std::string targetOf(const CFileItem& item) const;

    CFolderWatch m_watch;
    std::vector<Folder> m_folders;
    std::unordered_map<std::string, std::uint32_t> m_folderIndex;
    std::unordered_map<int, std::vector<std::uint32_t>> m_folderOfWatch;  // one inode, several paths
    std::uint64_t m_clock = 0;
    std::uint64_t m_validFrom = 1;
    std::string m_catalogFolder;
    bool m_useShortcuts = false;
};
