#include "desktop/CMozLz4Reader.h"

#include <lz4.h>

#include "desktop/CSessionFile.h"
#include "platform/MozLz4Format.h"

std::optional<std::string> CMozLz4Reader::decompress(std::string_view bytes, const std::string& path,
                                                     CSessionError* error) {
    const auto fail = [&](std::int64_t offset, std::string what) -> std::optional<std::string> {
        if (error) {
            *error = CSessionError{path, offset, std::move(what)};
        }
        return std::nullopt;
    };
    if (bytes.size() < MozLz4Format::kHeaderSize) {
        return fail(static_cast<std::int64_t>(bytes.size()), "truncated header");
    }
    if (bytes.substr(0, MozLz4Format::kMagic.size()) != MozLz4Format::kMagic) {
        return fail(0, "not an LZ4 session file (bad magic)");
    }
    std::uint64_t size = 0;
    for (int i = 3; i >= 0; --i) {
        size = (size << 8) | static_cast<unsigned char>(bytes[MozLz4Format::kSizeOffset + i]);
    }
    const std::uint64_t block = bytes.size() - MozLz4Format::kHeaderSize;
    if (size > MozLz4Format::kMaxDecompressedSize) {
        return fail(MozLz4Format::kSizeOffset, "declared size " + std::to_string(size) + " is more than the " +
                                                   std::to_string(MozLz4Format::kMaxDecompressedSize) +
                                                   " bytes a session store may hold");
    }
    if (size > block * MozLz4Format::kMaxExpansion) {
        return fail(MozLz4Format::kSizeOffset,
                    "declared size " + std::to_string(size) + " does not fit a block of " + std::to_string(block) +
                        " bytes");
    }
    std::string out(size, '\0');
    const int written = LZ4_decompress_safe(bytes.data() + MozLz4Format::kHeaderSize, out.data(),
                                            static_cast<int>(block), static_cast<int>(size));
    if (written < 0) {
        return fail(MozLz4Format::kHeaderSize, "damaged LZ4 block");
    }
    if (static_cast<std::uint64_t>(written) != size) {
        return fail(MozLz4Format::kHeaderSize, "LZ4 block gives " + std::to_string(written) + " bytes, header says " +
                                                   std::to_string(size));
    }
    return out;
}

std::optional<std::string> CMozLz4Reader::readFile(const std::string& path, CSessionError* error) {
    // The largest file a whole session store can give: its block never grows by more than LZ4's bound.
    const std::uint64_t limit = MozLz4Format::kHeaderSize +
                                static_cast<std::uint64_t>(LZ4_compressBound(MozLz4Format::kMaxDecompressedSize));
    const auto bytes = CSessionFile::read(path, limit, error);
    if (!bytes) {
        return std::nullopt;
    }
    return decompress(*bytes, path, error);
}
