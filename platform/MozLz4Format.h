#pragma once

// Constants of Firefox's compressed JSON files (sessionstore-backups/recovery.jsonlz4 and the like):
//   0  magic   8 bytes "mozLz40\0"
//   8  size    u32 little-endian, the size of the decompressed data
//   12 block   one raw LZ4 block (no frame), the rest of the file

#include <cstdint>
#include <string_view>

namespace MozLz4Format {

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr std::uint32_t kSizeOffset = 8;
constexpr std::uint32_t kHeaderSize = 12;
// An LZ4 block expands at most 255 times; a larger declared size cannot be honest.
constexpr std::uint64_t kMaxExpansion = 255;
// Session stores are a few megabytes; a declared size past this is refused before memory is taken for it,
// so that a small file cannot make the reader take more than a few times this much.
constexpr std::uint64_t kMaxDecompressedSize = 64ull << 20;

}  // namespace MozLz4Format
