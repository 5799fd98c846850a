#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/CPcxDecoder.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"

namespace {

// A PCX header: version 5, run-length, the given depth, planes and window.
std::string header(int bitsPerPixel, int planes, int width, int height, int bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = static_cast<char>(bitsPerPixel);
    auto put16 = [&](std::size_t at, int value) {
        h[at] = static_cast<char>(value & 0xFF);
        h[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    put16(8, width - 1);
    put16(10, height - 1);
    h[65] = static_cast<char>(planes);
    put16(66, bytesPerLine);
    return h;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(PcxDecoderTest, DecodesHandMadeFilesOfEachKind) {
    // 24-bit: 2 x 2, planes R, G, B per line; the first line's red plane is one run of 2 bytes (C2 FF).
    std::string rgb = header(8, 3, 2, 2, 2);
    rgb += std::string("\xC2\xFF", 2) + std::string("\x00\x10", 2) + std::string("\x20\x30", 2);
    rgb += std::string("\x01\x02", 2) + std::string("\x03\x04", 2) + std::string("\x05\x06", 2);
    CDecodedPicture picture;
    ASSERT_FALSE(CPcxDecoder::decode(rgb, picture));
    EXPECT_EQ(2, picture.width);
    EXPECT_EQ(2, picture.height);
    EXPECT_EQ(24, picture.sourceBitsPerPixel);
    EXPECT_EQ((std::vector<std::uint32_t>{0xFFFF0020, 0xFFFF1030, 0xFF010305, 0xFF020406}), picture.pixels);

    // 256 colours: a run that crosses the end of the line (C4 07 covers both 2-pixel lines), palette at the end.
    std::string indexed = header(8, 1, 2, 2, 2) + std::string("\xC4\x07", 2);
    std::string palette(768, '\0');
    palette[7 * 3] = '\x11';
    palette[7 * 3 + 1] = '\x22';
    palette[7 * 3 + 2] = '\x33';
    indexed += '\x0C' + palette;
    ASSERT_FALSE(CPcxDecoder::decode(indexed, picture));
    EXPECT_EQ(std::vector<std::uint32_t>(4, 0xFF112233), picture.pixels);

    // 1-bit mono: 10 pixels wide in 2 bytes per line, 1010 1010 | 11xx xxxx.
    std::string mono = header(1, 1, 10, 1, 2) + std::string("\xAA\xC1\xFF", 3);
    ASSERT_FALSE(CPcxDecoder::decode(mono, picture));
    ASSERT_EQ(10u, picture.pixels.size());
    EXPECT_EQ(0xFFFFFFFFu, picture.pixels[0]);
    EXPECT_EQ(0xFF000000u, picture.pixels[1]);
    EXPECT_EQ(0xFFFFFFFFu, picture.pixels[8]);

    // 16 colours in four 1-bit planes: pixel 0 has bits 1, 0, 1, 0 = index 5 from the header palette.
    std::string planar = header(1, 4, 1, 1, 2);
    planar[16 + 5 * 3] = '\x7F';
    planar += std::string("\x80\x00\x00\x00\x80\x00\x00\x00", 8);
    ASSERT_FALSE(CPcxDecoder::decode(planar, picture));
    EXPECT_EQ(0xFF7F0000u, picture.pixels.at(0));
}

TEST(PcxDecoderTest, ReadsWhatImageMagickWrites) {
    CTempFolder folder;
    const std::string source = folder / "pattern.png";
    // An odd width, so that lines carry padding; a palette picture and a true-colour one.
    ASSERT_EQ(0, CToolRunner::run("convert -size 37x21 gradient:'#ff0000-#0000ff' -swirl 90 " + source).exitStatus);
    const struct {
        const char* options;
        int depth;
    } kinds[] = {{"-type TrueColor", 24}, {"-colors 200 -type Palette", 8}};
    for (const auto& kind : kinds) {
        const std::string pcx = folder / "pattern.pcx";
        ASSERT_EQ(0, CToolRunner::run(std::string("convert ") + source + " " + kind.options + " " + pcx).exitStatus);
        const CToolRunner::Result raw = CToolRunner::run("convert " + pcx + " -depth 8 rgb:-");
        ASSERT_EQ(0, raw.exitStatus);
        CDecodedPicture picture;
        const auto error = CPcxDecoder::decode(readFile(pcx), picture);
        ASSERT_FALSE(error) << error->message();
        EXPECT_EQ(kind.depth, picture.sourceBitsPerPixel) << kind.options;
        ASSERT_EQ(37, picture.width);
        ASSERT_EQ(21, picture.height);
        ASSERT_EQ(raw.output.size(), picture.pixels.size() * 3);
        int differences = 0;
        for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
            const std::uint32_t p = picture.pixels[i];
            const auto* expected = reinterpret_cast<const std::uint8_t*>(raw.output.data() + i * 3);
            if (((p >> 16) & 0xFF) != expected[0] || ((p >> 8) & 0xFF) != expected[1] || (p & 0xFF) != expected[2])
                ++differences;
        }
        EXPECT_EQ(0, differences) << kind.options;
    }
}

TEST(PcxDecoderTest, RefusesTruncatedAndHostileFilesWithTheirOffset) {
    CDecodedPicture picture;
    // Shorter than the header.
    auto error = CPcxDecoder::decode(std::string(100, '\x0A'), picture);
    ASSERT_TRUE(error);
    EXPECT_EQ(100, error->offset);

    // Cut in the pixel data: 4 x 4 at 8 bits needs 16 bytes, 6 are there.
    std::string cut = header(8, 1, 4, 4, 4) + std::string(6, '\x01');
    error = CPcxDecoder::decode(cut, picture);
    ASSERT_TRUE(error);
    EXPECT_EQ(128 + 6, error->offset);
    EXPECT_TRUE(picture.pixels.empty());

    // A run marker as the last byte has no value.
    error = CPcxDecoder::decode(header(8, 3, 1, 1, 2) + std::string("\x01\x02\xC3", 3), picture);
    ASSERT_TRUE(error);
    EXPECT_NE(std::string::npos, error->what.find("run"));

    // 65536 x 65536 pixels declared: 16 GiB, refused from the header alone.
    std::string huge = header(8, 3, 65536, 65536, 65535);
    huge[8] = huge[9] = huge[10] = huge[11] = '\xFF';
    huge += std::string(4096, '\xFF');
    error = CPcxDecoder::decode(huge, picture);
    ASSERT_TRUE(error);
    EXPECT_NE(std::string::npos, error->what.find("1 GiB"));

    // 16000 x 16000 at 8 bits (256 MB of pixels) from 1 KB of runs: too short for what it declares, refused
    // before anything is allocated.
    error = CPcxDecoder::decode(header(8, 1, 16000, 16000, 16000) + std::string(1024, '\xFF'), picture);
    ASSERT_TRUE(error);
    EXPECT_NE(std::string::npos, error->what.find("too short"));

    // Lines shorter than the width, a window with xMax < xMin, an unknown depth.
    EXPECT_TRUE(CPcxDecoder::decode(header(8, 1, 100, 1, 10) + std::string(200, '\0'), picture));
    std::string inverted = header(8, 1, 1, 1, 2);
    inverted[4] = 5;
    EXPECT_TRUE(CPcxDecoder::decode(inverted + std::string(8, '\0'), picture));
    EXPECT_TRUE(CPcxDecoder::decode(header(16, 1, 1, 1, 2) + std::string(8, '\0'), picture));
    EXPECT_FALSE(CPcxDecoder::looksLikePcx(header(16, 1, 1, 1, 2)));
    EXPECT_TRUE(CPcxDecoder::looksLikePcx(header(8, 3, 1, 1, 2)));
}
