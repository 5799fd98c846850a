#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/CSessionError.h"

// Reads Firefox's LZ4-compressed JSON files ("mozLz40" header, decompressed size, one LZ4 block). A file
// that is short, has another magic, declares a size past MozLz4Format::kMaxDecompressedSize or more than
// the block could expand to, or holds a damaged block gives an error naming the file and the byte offset.
// Memory is the file and the declared size, both bounded.
class CMozLz4Reader final {
public:
    static std::optional<std::string> decompress(std::string_view bytes, const std::string& path,
                                                 CSessionError* error);
    // Reads and decompresses the file at `path`.
    static std::optional<std::string> readFile(const std::string& path, CSessionError* error);
};
