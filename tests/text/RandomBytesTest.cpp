// Every text operation takes any bytes: file contents and catalog strings can be anything. Run under
// AddressSanitizer, these rounds also show that nothing reads past a string's end.

#include <gtest/gtest.h>

#include <random>

#include "text/Cp932.h"
#include "text/JapaneseCode.h"
#include "text/Normalize.h"
#include "text/StringUtil.h"

using namespace jtext;

TEST(RandomBytes, EveryOperationTakesAnyBytes) {
    // Bytes that matter to some reader: leads, trails, kana, marks, escapes, shifts, line ends.
    const std::string interesting =
        "\x1B$B(@IJ\x0E\x0F\r\n\x81\x8E\x8F\x9F\xA1\xB6\xDE\xDF\xE0\xEF\xF0\xFC\xFD\xFF"
        "\xC2\xE3\x80\xBF\xF4\x90!~aA-";
    std::mt19937 random(9321);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 16);
        for (int i = 0; i < length; ++i) {
            bytes.push_back(random() % 2 ? interesting[random() % interesting.size()]
                                         : static_cast<char>(random()));
        }
        // UTF-8 decoding and encoding give the same bytes back.
        std::string again;
        for (std::size_t pos = 0; pos < bytes.size();) {
            const Utf8Char c = decodeUtf8(bytes, pos);
            ASSERT_GE(c.length, 1u);
            ASSERT_LE(pos + c.length, bytes.size());
            appendUtf8(again, c.codePoint);
            pos += c.length;
        }
        ASSERT_EQ(again, bytes);
        // Valid text with a code page 932 form reads back as the same text.
        bool lossless = false;
        const std::string sjis = utf8ToCp932(bytes, &lossless);
        if (lossless && detectJapaneseCode(bytes) == kCodeUtf8) {
            EXPECT_EQ(cp932ToUtf8(sjis), bytes);
        }

        const int code = detectJapaneseCode(bytes);
        EXPECT_TRUE(code >= 0 && code <= 5) << code;
        detectLineEnd(bytes);
        std::string out;
        jisToShiftJis(bytes, out);
        shiftJisToJis(bytes, out);
        EXPECT_EQ(out.empty(), bytes.empty());
        eucToShiftJis(bytes, out);
        shiftJisToEuc(bytes, out);
        fullWidthToHalfWidth(bytes, out);
        halfWidthToFullWidth(bytes, out);

        const std::string other = bytes.substr(0, bytes.size() / 2);
        for (const unsigned flags : {0u, 2u, 0xFFu}) {
            EXPECT_EQ(normalizedCompare(bytes, bytes, flags), 0);
            EXPECT_EQ(normalizedCompare(bytes, other, flags), -normalizedCompare(other, bytes, flags));
            std::size_t matchLength = 0;
            if (!bytes.empty()) {
                const std::ptrdiff_t at = normalizedSearch(bytes, bytes, flags, &matchLength);
                EXPECT_EQ(at, 0);
                EXPECT_EQ(matchLength, bytes.size());
            }
            const std::ptrdiff_t at = normalizedSearch(bytes, other, flags, &matchLength);
            if (at >= 0) {
                EXPECT_LE(static_cast<std::size_t>(at) + matchLength, bytes.size());
            }
        }
        const std::string last = lastCharacter(bytes);
        EXPECT_EQ(last.empty(), bytes.empty());
        EXPECT_TRUE(bytes.ends_with(last));
        for (std::size_t i = 0; i <= bytes.size(); ++i) {
            EXPECT_EQ(leadByteAt(bytes, i) == -1, i == bytes.size());
            EXPECT_EQ(cp932LeadByteAt(bytes, i) == -1, i == bytes.size());
        }
    }
    resetJisShiftState();
}
