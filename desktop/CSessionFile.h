#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/CSessionError.h"

// Small file helpers of the browser session readers.
class CSessionFile final {
public:
    // The whole file, or an error when it cannot be opened or read or holds more than `limit` bytes.
    static std::optional<std::string> read(const std::string& path, std::uint64_t limit, CSessionError* error);

    // The target of a symbolic link ("" when `path` is none).
    static std::string linkTarget(const std::string& path);

    // True when process `pid` exists on this machine.
    static bool processExists(std::int64_t pid);

    // The modification time in nanoseconds, or -1 when the file is missing.
    static std::int64_t modifiedNs(const std::string& path);
};
