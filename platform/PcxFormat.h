#pragma once

#include <cstddef>
#include <cstdint>

// The PCX (ZSoft Paintbrush) image file, as far as the image preview reads it.
//
// Header, 128 bytes, little-endian:
//   0  manufacturer (1 byte, always 0x0A)      1  version (1 byte: 0, 2, 3, 4 or 5)
//   2  encoding (1 byte, 1 = run-length)       3  bits per pixel per plane (1 byte: 1, 2, 4 or 8)
//   4  xMin, 6 yMin, 8 xMax, 10 yMax (2 bytes each; the picture is (xMax-xMin+1) x (yMax-yMin+1))
//   12 horizontal dpi, 14 vertical dpi (2 bytes each)
//   16 16-colour palette (48 bytes: 16 x R, G, B)
//   64 reserved (1 byte)                       65 colour planes (1 byte: 1, 3 or 4)
//   66 bytes per line per plane (2 bytes, even)  68 palette kind (2 bytes) ... 127 filler
// Pixel data follows at byte 128: for each scan line, the planes one after another, each bytesPerLine
// bytes. Run-length encoding: a byte whose two top bits are set (>= 0xC0) repeats the next byte
// (its low six bits times); any other byte stands for itself. Runs may cross line ends.
// A 256-colour picture (8 bits, 1 plane) ends with 0x0C followed by a 768-byte palette (256 x R, G, B).
namespace pcx {

inline constexpr std::size_t kHeaderSize = 128;
inline constexpr std::uint8_t kManufacturer = 0x0A;
inline constexpr std::uint8_t kRunLength = 1;
inline constexpr std::uint8_t kRunMarker = 0xC0;
inline constexpr std::uint8_t kRunCountMask = 0x3F;
inline constexpr std::size_t kMaxRun = 63;

inline constexpr std::size_t kOffsetManufacturer = 0;
inline constexpr std::size_t kOffsetVersion = 1;
inline constexpr std::size_t kOffsetEncoding = 2;
inline constexpr std::size_t kOffsetBitsPerPixel = 3;
inline constexpr std::size_t kOffsetXMin = 4;
inline constexpr std::size_t kOffsetYMin = 6;
inline constexpr std::size_t kOffsetXMax = 8;
inline constexpr std::size_t kOffsetYMax = 10;
inline constexpr std::size_t kOffsetPalette16 = 16;
inline constexpr std::size_t kOffsetPlanes = 65;
inline constexpr std::size_t kOffsetBytesPerLine = 66;

inline constexpr std::uint8_t kPalette256Marker = 0x0C;
inline constexpr std::size_t kPalette256Size = 768;

}  // namespace pcx
