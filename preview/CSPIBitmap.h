#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "preview/SusiePlugin.h"

// A picture as an image plug-in hands it over: a header block (bitmap header and palette) and a bits block,
// both from malloc(). check() finds out whether the sizes and blocks add up, reading no byte outside them;
// convert() then writes the picture as 32-bit pixels (0xFFRRGGBB), rows top to bottom.
class CSPIBitmap final {
public:
    enum class Check {
        Valid,
        Empty,        // width or height 0: nothing to show
        TooLarge,     // more than the picture limit as 32-bit pixels; not the plug-in's fault
        Unsupported,  // a compressed bitmap
        Broken,       // sizes or blocks that do not add up; `fault` says why
    };

    Check check(const void* info, const void* bits, std::uint64_t maxPixelBytes, std::string& fault);
    // Converts a Valid picture into `out`, which holds width() x height() pixels.
    void convert(std::uint32_t* out) const;

    int width() const { return m_width; }
    int height() const { return m_height; }
    int bitCount() const { return m_bitCount; }
    std::size_t pixelBytes() const { return static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) * 4; }

private:
    std::uint32_t paletteColour(std::uint32_t index) const;

    const std::uint8_t* m_palette = nullptr;
    const std::uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_bitCount = 0;
    bool m_topDown = false;
    std::uint32_t m_colours = 0;
    std::uint64_t m_stride = 0;
};
