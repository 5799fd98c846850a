#pragma once

#include <cstdint>
#include <string>

// Why a browser's session could not be read: the file, the byte offset where it went wrong (-1 when the
// whole file is meant) and what was wrong there.
struct CSessionError {
    std::string path;
    std::int64_t offset = -1;
    std::string what;

    std::string message() const {
        return path + (offset >= 0 ? " at byte " + std::to_string(offset) : std::string()) + ": " + what;
    }
};
