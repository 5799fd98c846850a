#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The page a browser shows, as its native messaging host last heard it from the browser extension. Each
// host keeps one small JSON file, "browser-<host pid>.json", in a folder only this user can enter:
// "$XDG_RUNTIME_DIR/quillory", or "/tmp/quillory-<uid>" without a usable runtime folder. The host writes
// its file on every message and removes it when it ends; the browser capture reads the files to learn,
// for a browser window's process, the page that window shows.
class CBrowserHostState final {
public:
    struct Page {
        std::string url, title;
        bool loading = false, incognito = false;
        std::int64_t timeMs = 0, receivedMs = 0, hostPid = -1;
        // The host's parent, its parent, ...: the browser's process is one of them.
        std::vector<std::int64_t> pids;
    };

    // A state file over this size is not read.
    static constexpr std::uint64_t kMaxFileSize = 64 * 1024;
    // A dead host's file is removed once it is this old (a younger one may belong to a host that was just
    // replaced).
    static constexpr std::int64_t kStaleMs = 60 * 1000;

    // The private folder, created when missing; "" when none is usable (the folder is a symbolic link,
    // belongs to someone else or lets others in).
    static std::string folder();
    // This process's own state file, "" when there is no folder.
    static std::string ownPath();

    // Writes the host's own file atomically (mode 0600); false with the reason and path in `error`.
    static bool write(const Page& page, std::string* error);
    // Removes the host's own file.
    static void remove();

    // The newest page whose host is alive and whose pids contain `browserPid`; nullopt when none. Files of
    // dead hosts are ignored, and removed when older than kStaleMs.
    static std::optional<Page> readFor(std::int64_t browserPid);
    // One state file, or nullopt with the reason and path in `error` (too large, not JSON, a field missing).
    static std::optional<Page> readFile(const std::string& path, std::string* error);

    // The JSON text of a state file.
    static std::string toJson(const Page& page);
};
