#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A decoded picture: width x height pixels, rows top to bottom, each pixel 0xAARRGGBB.
struct CDecodedPicture {
    int width = 0;
    int height = 0;
    int sourceBitsPerPixel = 0;  // colour depth of the file: bits per pixel times planes
    bool hasAlpha = false;
    std::vector<std::uint32_t> pixels;
};

// Why a picture could not be decoded: the byte offset where it went wrong and what was wrong there.
struct CPictureError {
    std::int64_t offset = -1;
    std::string what;

    std::string message() const {
        return (offset >= 0 ? "at byte " + std::to_string(offset) + ": " : std::string()) + what;
    }
};

// Where a decoder writes a picture's rows: the first pixel of the top row and the distance in pixels from
// one row to the next. The memory is the caller's (a vector, an image's own buffer).
struct CPixelRows {
    std::uint32_t* first = nullptr;
    std::size_t stride = 0;
};

// Reads PCX files (1-bit mono, 2- and 4-bit palettes, 16-colour planar, 256-colour, 24-bit RGB and
// 32-bit RGBA). Whatever the bytes, it never reads out of bounds, never allocates more than the file can
// justify (run-length data expands at most 32 times) and refuses pictures of more than kMaxPictureBytes.
class CPcxDecoder final {
public:
    // The largest picture accepted, as 32-bit pixels: 1 GiB.
    static constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{1} << 30;

    // True when the bytes start like a PCX header (manufacturer, known version, encoding and depth).
    static bool looksLikePcx(std::string_view bytes);
    // Decodes a whole file's bytes into `picture`; on failure `picture` is left empty.
    static std::optional<CPictureError> decode(std::string_view bytes, CDecodedPicture& picture);
    // Decodes straight into rows the caller provides, so that a large picture is held once, in its final
    // place. `rowsFor` is asked once, after the header is checked, with the picture's size, depth and alpha
    // (its pixels empty); rows without memory refuse the picture. On failure the rows hold part of it.
    using RowsProvider = std::function<CPixelRows(const CDecodedPicture& shape)>;
    static std::optional<CPictureError> decodeInto(std::string_view bytes, const RowsProvider& rowsFor);
};
