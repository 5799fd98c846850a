#include "platform/CPcxDecoder.h"

#include <array>

#include "platform/PcxFormat.h"

namespace {

std::uint8_t byteAt(std::string_view bytes, std::size_t offset) {
    return static_cast<std::uint8_t>(bytes[offset]);
}

std::uint16_t word(std::string_view bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8));
}

std::uint32_t rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

CPictureError error(std::int64_t offset, std::string what) {
    return CPictureError{offset, std::move(what)};
}

bool knownLayout(int bitsPerPixel, int planes) {
    switch (bitsPerPixel) {
    case 1: return planes >= 1 && planes <= 4;
    case 2:
    case 4: return planes == 1;
    case 8: return planes == 1 || planes == 3 || planes == 4;
    default: return false;
    }
}

}  // namespace

bool CPcxDecoder::looksLikePcx(std::string_view bytes) {
    if (bytes.size() < pcx::kHeaderSize || byteAt(bytes, pcx::kOffsetManufacturer) != pcx::kManufacturer)
        return false;
    const std::uint8_t version = byteAt(bytes, pcx::kOffsetVersion);
    return (version == 0 || (version >= 2 && version <= 5)) &&
           byteAt(bytes, pcx::kOffsetEncoding) == pcx::kRunLength &&
           knownLayout(byteAt(bytes, pcx::kOffsetBitsPerPixel), byteAt(bytes, pcx::kOffsetPlanes));
}

std::optional<CPictureError> CPcxDecoder::decode(std::string_view bytes, CDecodedPicture& picture) {
    picture = CDecodedPicture{};
    auto failure = decodeInto(bytes, [&picture](const CDecodedPicture& shape) {
        picture = shape;
        picture.pixels.resize(static_cast<std::size_t>(shape.width) * static_cast<std::size_t>(shape.height));
        return CPixelRows{picture.pixels.data(), static_cast<std::size_t>(shape.width)};
    });
    if (failure)
        picture = CDecodedPicture{};
    return failure;
}

std::optional<CPictureError> CPcxDecoder::decodeInto(std::string_view bytes, const RowsProvider& rowsFor) {
    if (bytes.size() < pcx::kHeaderSize)
        return error(static_cast<std::int64_t>(bytes.size()), "the file ends inside the 128-byte header");
    if (!looksLikePcx(bytes))
        return error(0, "not a PCX file of a known kind");

    const int bitsPerPixel = byteAt(bytes, pcx::kOffsetBitsPerPixel);
    const int planes = byteAt(bytes, pcx::kOffsetPlanes);
    const int xMin = word(bytes, pcx::kOffsetXMin);
    const int yMin = word(bytes, pcx::kOffsetYMin);
    const int xMax = word(bytes, pcx::kOffsetXMax);
    const int yMax = word(bytes, pcx::kOffsetYMax);
    if (xMax < xMin || yMax < yMin)
        return error(pcx::kOffsetXMin, "the picture's window is empty");
    const std::uint64_t width = static_cast<std::uint64_t>(xMax - xMin) + 1;
    const std::uint64_t height = static_cast<std::uint64_t>(yMax - yMin) + 1;
    if (width * height * 4 > kMaxPictureBytes)
        return error(pcx::kOffsetXMin, "the picture is larger than 1 GiB");
    const std::uint64_t bytesPerLine = word(bytes, pcx::kOffsetBytesPerLine);
    if (bytesPerLine * 8 < width * static_cast<std::uint64_t>(bitsPerPixel))
        return error(pcx::kOffsetBytesPerLine, "the lines are shorter than the picture is wide");

    // Run-length data expands at most 63 times per two bytes: a file too short for the declared picture is
    // refused before anything is allocated for it.
    const std::uint64_t lineBytes = bytesPerLine * static_cast<std::uint64_t>(planes);
    const std::uint64_t total = lineBytes * height;
    const std::size_t dataBytes = bytes.size() - pcx::kHeaderSize;
    if (total > static_cast<std::uint64_t>(dataBytes) * 32)
        return error(static_cast<std::int64_t>(bytes.size()), "the file is too short for the picture it declares");

    std::array<std::uint32_t, 256> palette{};
    const bool paletted = planes == 1 || bitsPerPixel == 1;
    if (bitsPerPixel == 8 && planes == 1) {
        const bool hasPalette = bytes.size() >= pcx::kHeaderSize + pcx::kPalette256Size + 1;
        const std::size_t markerAt = hasPalette ? bytes.size() - pcx::kPalette256Size - 1 : 0;
        if (hasPalette && byteAt(bytes, markerAt) == pcx::kPalette256Marker) {
            for (std::size_t i = 0; i < 256; ++i) {
                const std::size_t at = markerAt + 1 + i * 3;
                palette[i] = rgb(byteAt(bytes, at), byteAt(bytes, at + 1), byteAt(bytes, at + 2));
            }
        } else {
            // Without its palette a 256-colour file is shown in grey levels.
            for (std::uint32_t i = 0; i < 256; ++i)
                palette[i] = rgb(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i));
        }
    } else if (bitsPerPixel == 1 && planes == 1) {
        palette[0] = rgb(0, 0, 0);
        palette[1] = rgb(255, 255, 255);
    } else if (paletted) {
        for (std::size_t i = 0; i < 16; ++i) {
            const std::size_t at = pcx::kOffsetPalette16 + i * 3;
            palette[i] = rgb(byteAt(bytes, at), byteAt(bytes, at + 1), byteAt(bytes, at + 2));
        }
    }

    CDecodedPicture shape;
    shape.width = static_cast<int>(width);
    shape.height = static_cast<int>(height);
    shape.sourceBitsPerPixel = bitsPerPixel * planes;
    shape.hasAlpha = bitsPerPixel == 8 && planes == 4;
    const CPixelRows rows = rowsFor(shape);
    if (rows.first == nullptr || rows.stride < width)
        return error(pcx::kOffsetXMin, "no memory for a picture of " + std::to_string(width) + " x " +
                                           std::to_string(height) + " pixels");

    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineBytes));
    std::size_t at = pcx::kHeaderSize;
    std::uint8_t runValue = 0;
    std::size_t runLeft = 0;  // a run that crosses the end of a line carries on into the next
    for (std::uint64_t y = 0; y < height; ++y) {
        std::size_t i = 0;
        while (i < line.size()) {
            if (runLeft == 0) {
                if (at >= bytes.size()) {
                    return error(static_cast<std::int64_t>(at), "the pixel data ends early, in line " + std::to_string(y));
                }
                const std::uint8_t b = byteAt(bytes, at++);
                if ((b & pcx::kRunMarker) == pcx::kRunMarker) {
                    if (at >= bytes.size()) {
                        return error(static_cast<std::int64_t>(at), "a run has no value byte");
                    }
                    runLeft = b & pcx::kRunCountMask;  // an empty run stands for nothing
                    runValue = byteAt(bytes, at++);
                    continue;
                }
                runLeft = 1;
                runValue = b;
            }
            line[i++] = runValue;
            --runLeft;
        }

        std::uint32_t* out = rows.first + y * rows.stride;
        const std::uint8_t* plane0 = line.data();
        const std::size_t stride = static_cast<std::size_t>(bytesPerLine);
        for (std::uint64_t x = 0; x < width; ++x) {
            if (bitsPerPixel == 8 && planes >= 3) {
                const std::uint8_t r = plane0[x], g = plane0[stride + x], b = plane0[2 * stride + x];
                std::uint32_t pixel = rgb(r, g, b);
                if (planes == 4)
                    pixel = (pixel & 0x00FFFFFFu) | (std::uint32_t{plane0[3 * stride + x]} << 24);
                out[x] = pixel;
            } else if (bitsPerPixel == 8) {
                out[x] = palette[plane0[x]];
            } else if (bitsPerPixel == 1) {
                unsigned index = 0;
                for (int p = 0; p < planes; ++p) {
                    const unsigned bit = (plane0[p * stride + x / 8] >> (7 - x % 8)) & 1u;
                    index |= bit << p;
                }
                out[x] = palette[index];
            } else {
                const std::uint64_t bit = x * static_cast<std::uint64_t>(bitsPerPixel);
                const unsigned shift = static_cast<unsigned>(8 - bitsPerPixel - bit % 8);
                const unsigned index = (plane0[bit / 8] >> shift) & ((1u << bitsPerPixel) - 1);
                out[x] = palette[index];
            }
        }
    }
    return std::nullopt;
}
