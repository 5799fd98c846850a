#pragma once

#include <cstdint>
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
};
