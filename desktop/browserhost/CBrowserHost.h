#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The native messaging host: reads the browser extension's messages from standard input until it ends and
// keeps the newest page in this host's state file, which it removes when it ends, whether by the end of the
// input, a refused frame or SIGTERM, SIGINT, SIGHUP or SIGPIPE. A message that breaks the rules is skipped
// with one line on standard error; a frame length that breaks them ends the host, which cannot find the
// next frame after it.
class CBrowserHost final {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitRefused = 1;  // a frame of zero or too many bytes
    static constexpr int kExitFailed = 2;   // standard input could not be read
    static constexpr std::size_t kAncestors = 8;

    // Reads the messages from `inputFd`; the exit status.
    static int run(int inputFd);

    // `pid`, its parent, its parent's parent, ...: at most `count` processes, read from /proc.
    static std::vector<std::int64_t> ancestorsFrom(std::int64_t pid, std::size_t count);

private:
    static void handle(const std::string& frame, const std::vector<std::int64_t>& pids);
    static void removeStateOnSignals(const std::string& path);
};
