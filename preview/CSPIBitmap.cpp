#include "preview/CSPIBitmap.h"

#include <malloc.h>

#include <cstring>

namespace {

constexpr std::uint32_t kCompressionNone = 0;

std::uint32_t opaque(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xFF000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
}

}  // namespace

CSPIBitmap::Check CSPIBitmap::check(const void* bitmapInfo, const void* bitmapBits, std::uint64_t maxPixelBytes,
                                    std::string& fault) {
    *this = CSPIBitmap{};
    if (!bitmapInfo || !bitmapBits) {
        fault = "GetPicture succeeded without handing over both blocks";
        return Check::Broken;
    }
    if (bitmapInfo == bitmapBits) {
        fault = "GetPicture handed over one block as both header and bits";
        return Check::Broken;
    }
    // The blocks come from malloc(): their usable sizes bound every read below.
    const std::size_t infoSize = malloc_usable_size(const_cast<void*>(bitmapInfo));
    if (infoSize < sizeof(SusieBitmapHeader)) {
        fault = "the bitmap header block is " + std::to_string(infoSize) + " bytes, less than a header";
        return Check::Broken;
    }
    SusieBitmapHeader header;
    std::memcpy(&header, bitmapInfo, sizeof header);
    if (header.size < sizeof(SusieBitmapHeader) || header.size > infoSize) {
        fault = "the bitmap header declares " + std::to_string(header.size) + " bytes in a block of " +
                std::to_string(infoSize);
        return Check::Broken;
    }
    const int bitCount = header.bitCount;
    if (header.width == 0 || header.height == 0)
        return Check::Empty;
    if (header.width < 0 || header.height == INT32_MIN ||
        (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)) {
        fault = "the bitmap header declares " + std::to_string(header.width) + " x " + std::to_string(header.height) +
                " pixels of " + std::to_string(bitCount) + " bits";
        return Check::Broken;
    }
    const std::uint64_t width = static_cast<std::uint64_t>(header.width);
    const std::uint64_t height =
        static_cast<std::uint64_t>(header.height < 0 ? -static_cast<std::int64_t>(header.height) : header.height);
    if (width * height * 4 > maxPixelBytes)
        return Check::TooLarge;
    if (header.compression != kCompressionNone)
        return Check::Unsupported;
    std::uint32_t colours = 0;
    if (bitCount <= 8) {
        colours = header.colorsUsed != 0 ? header.colorsUsed : (1u << bitCount);
        if (colours > (1u << bitCount)) {
            fault = "the palette has " + std::to_string(colours) + " colours for " + std::to_string(bitCount) + " bits";
            return Check::Broken;
        }
        if (header.size + std::uint64_t{colours} * 4 > infoSize) {
            fault = "the palette runs past the end of the header block";
            return Check::Broken;
        }
    }
    const std::uint64_t stride = (width * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
    const std::size_t bitsSize = malloc_usable_size(const_cast<void*>(bitmapBits));
    if (stride * height > bitsSize) {
        fault = "the bits block is " + std::to_string(bitsSize) + " bytes for " + std::to_string(stride * height) +
                " bytes of rows";
        return Check::Broken;
    }
    m_palette = static_cast<const std::uint8_t*>(bitmapInfo) + header.size;
    m_bits = static_cast<const std::uint8_t*>(bitmapBits);
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    m_bitCount = bitCount;
    m_topDown = header.height < 0;
    m_colours = colours;
    m_stride = stride;
    return Check::Valid;
}

std::uint32_t CSPIBitmap::paletteColour(std::uint32_t index) const {
    if (index >= m_colours)
        return opaque(0, 0, 0);
    const std::uint8_t* entry = m_palette + index * 4;
    return opaque(entry[2], entry[1], entry[0]);
}

void CSPIBitmap::convert(std::uint32_t* out) const {
    const auto width = static_cast<std::uint64_t>(m_width);
    const auto height = static_cast<std::uint64_t>(m_height);
    const auto bitCount = static_cast<unsigned>(m_bitCount);
    for (std::uint64_t y = 0; y < height; ++y, out += width) {
        const std::uint8_t* in = m_bits + (m_topDown ? y : height - 1 - y) * m_stride;
        for (std::uint64_t x = 0; x < width; ++x) {
            switch (bitCount) {
            case 32:
            case 24: {
                const std::uint8_t* p = in + x * (bitCount / 8);
                out[x] = opaque(p[2], p[1], p[0]);
                break;
            }
            case 16: {
                const unsigned v = in[x * 2] | (in[x * 2 + 1] << 8);
                out[x] = opaque(static_cast<std::uint8_t>(((v >> 10) & 31) * 255 / 31),
                                static_cast<std::uint8_t>(((v >> 5) & 31) * 255 / 31),
                                static_cast<std::uint8_t>((v & 31) * 255 / 31));
                break;
            }
            default: {
                const std::uint64_t bit = x * bitCount;
                const unsigned shift = static_cast<unsigned>(8 - bitCount - bit % 8);
                out[x] = paletteColour((in[bit / 8] >> shift) & ((1u << bitCount) - 1));
                break;
            }
            }
        }
    }
}
