#include "text/Cp932.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "TextTestHelpers.h"

using namespace jtext;

namespace {

std::string codeBytes(unsigned code) {
    std::string bytes;
    if (code > 0xFF)
        bytes.push_back(static_cast<char>(code >> 8));
    bytes.push_back(static_cast<char>(code & 0xFF));
    return bytes;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

}  // namespace

TEST(Cp932, UsesWindowsMappingWhereOtherTablesDiffer) {
    EXPECT_EQ(utf8ToCp932("纊"), "\xFA\x5C");  // U+7E8A: IBM extension, not the NEC-selected row
    EXPECT_EQ(utf8ToCp932("Ⅰ"), "\x87\x54");
    EXPECT_EQ(utf8ToCp932("∵"), "\x81\xE6");
    EXPECT_EQ(cp932ToUtf8("\x81\x60"), "～");  // U+FF5E, not the wave dash
    EXPECT_EQ(cp932ToUtf8("\xED\x40"), "纊");  // the NEC-selected duplicate reads as the same kanji
    EXPECT_EQ(utf8ToCp932("日本語 ｶﾅ abc"), "\x93\xFA\x96\x7B\x8C\xEA\x20\xB6\xC5\x20\x61\x62\x63");
}

TEST(Cp932, KeepsEveryStringAndReportsCharactersWithoutAForm) {
    bool lossless = false;
    EXPECT_EQ(utf8ToCp932("表示\\", &lossless), "\x95\x5C\x8E\xA6\x5C");
    EXPECT_TRUE(lossless);
    // ¥ and 〜 have codes that read back as other characters: they must not be stored as 932.
    EXPECT_EQ(utf8ToCp932("a¥é😀", &lossless), "a???");
    EXPECT_FALSE(lossless);
    EXPECT_FALSE(hasCp932Form(U'¥'));
    EXPECT_FALSE(hasCp932Form(U'〜'));
    EXPECT_TRUE(hasCp932Form(U'～'));

    // Bytes that form no character survive both directions unchanged.
    const std::string odd = "\x80\xA0\xFD\x85\x40\x81";
    EXPECT_EQ(utf8ToCp932(cp932ToUtf8(odd), &lossless), odd);
    EXPECT_TRUE(lossless);
    const std::string badUtf8 = "a\xFF\xC3(\xE6\x97";
    std::string back;
    for (std::size_t pos = 0; pos < badUtf8.size();) {
        const Utf8Char c = decodeUtf8(badUtf8, pos);
        appendUtf8(back, c.codePoint);
        pos += c.length;
    }
    EXPECT_EQ(back, badUtf8);
    EXPECT_EQ(decodeUtf8("\xFF", 0).codePoint, 0xDCFFu);
    EXPECT_EQ(decodeUtf8("\xC0\x80", 0).length, 1u);      // overlong
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80", 0).length, 1u);  // surrogate
    EXPECT_EQ(decodeUtf8("😀", 0).codePoint, U'😀');
}

TEST(Cp932, CharacterValuesAndClassification) {
    std::size_t length = 0;
    EXPECT_EQ(charValueAt("あ", 0, &length), 0x82A0u);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(charValueAt("ｱ", 0, &length), 0xB1u);
    EXPECT_EQ(charValueAt("é", 0, &length), kNoCp932Base + 0xE9);
    EXPECT_EQ(charValue(U'A'), 0x41u);
    EXPECT_EQ(codePointOf(0x82A0), U'あ');
    EXPECT_EQ(codePointOf(kNoCp932Base + 0x1F600), U'😀');
    std::string out;
    appendCharValue(out, 0x8341);
    EXPECT_EQ(out, "ア");

    EXPECT_TRUE(isLeadByte(0x81));
    EXPECT_TRUE(isLeadByte(0xFC));
    EXPECT_FALSE(isLeadByte(0xA0));
    EXPECT_FALSE(isLeadByte(0xFD));
    EXPECT_TRUE(isHalfWidthKatakana(charValue(U'ｱ')));
    EXPECT_FALSE(isHalfWidthKatakana(charValue(U'ア')));
    EXPECT_TRUE(isHiragana(charValue(U'ぁ')));
    EXPECT_TRUE(isHiragana(charValue(U'ん')));
    EXPECT_TRUE(isKatakana(charValue(U'ヶ')));
    EXPECT_FALSE(isKatakana(0x837F));
    EXPECT_EQ(hiraganaToKatakana(charValue(U'み')), charValue(U'ミ'));
    EXPECT_EQ(hiraganaToKatakana(charValue(U'む')), charValue(U'ム'));
    EXPECT_EQ(hiraganaToKatakana(charValue(U'ん')), charValue(U'ン'));
    EXPECT_EQ(toUpper('q'), static_cast<CharValue>('Q'));
    EXPECT_EQ(toUpper(charValue(U'ｚ')), charValue(U'Ｚ'));
    EXPECT_EQ(toUpper(charValue(U'é')), charValue(U'é'));
    EXPECT_EQ(toDoubleByte('A'), charValue(U'Ａ'));
    EXPECT_EQ(toDoubleByte(' '), charValue(U'　'));
    EXPECT_EQ(toDoubleByte(charValue(U'ｦ')), charValue(U'ヲ'));
    EXPECT_EQ(toDoubleByte(charValue(U'ﾞ')), charValue(U'゛'));
    EXPECT_EQ(toSingleByte(charValue(U'ッ')), charValue(U'ｯ'));
    EXPECT_EQ(toSingleByte(charValue(U'ガ')), charValue(U'ガ'));  // no single-byte form
    EXPECT_EQ(toSingleByte(charValue(U'あ')), charValue(U'あ'));
}

TEST(Cp932, JisConversionOfOneCharacterAgreesWithIconv) {
    // Every JIS X 0208 row and cell: our Shift-JIS code, converted to EUC-JP by iconv, gives the same row
    // and cell back with the high bits set.
    std::string sjis;
    std::vector<std::uint16_t> jisCodes;
    for (unsigned high = 0x21; high <= 0x74; ++high) {
        for (unsigned low = 0x21; low <= 0x7E; ++low) {
            const auto jis = static_cast<std::uint16_t>(high << 8 | low);
            const std::uint16_t code = jisToShiftJis(jis);
            ASSERT_NE(code, 0);
            EXPECT_EQ(shiftJisToJis(code), jis);
            sjis += codeBytes(code) + "\n";
            jisCodes.push_back(jis);
        }
    }
    const std::vector<std::string> lines =
        splitLines(texttest::runTool("iconv -c -f SHIFT_JIS -t EUC-JP", sjis));
    ASSERT_EQ(lines.size(), jisCodes.size());
    int checked = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty())
            continue;  // unassigned in JIS X 0208
        EXPECT_EQ(lines[i], codeBytes(jisCodes[i] | 0x8080)) << std::hex << jisCodes[i];
        ++checked;
    }
    EXPECT_GT(checked, 6800);
    EXPECT_EQ(jisToShiftJis(0x2020), 0);
    EXPECT_EQ(jisToShiftJis(0x217F), 0);
    EXPECT_EQ(shiftJisToJis(0xF040), 0);  // user-defined area: no JIS form
    EXPECT_EQ(shiftJisToJis(0x817F), 0);
    EXPECT_EQ(shiftJisToJis(0x4142), 0);
}

TEST(Cp932, EveryCodeDecodesAsIconvDecodesIt) {
    std::vector<unsigned> codes;
    std::string input;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const unsigned lead = code >> 8;
        if (code <= 0xFF ? (code == '\n' || isLeadByte(static_cast<unsigned char>(code)))
                         : (!isLeadByte(static_cast<unsigned char>(lead)) || (code & 0xFF) < 0x40 ||
                            (code & 0xFF) > 0xFC)) {
            continue;
        }
        codes.push_back(code);
        input += codeBytes(code) + "\n";
    }
    // -c drops what iconv cannot convert; a dropped lead byte may leave its trail byte behind.
    const std::vector<std::string> lines = splitLines(texttest::runTool("iconv -c -f CP932 -t UTF-8", input));
    ASSERT_EQ(lines.size(), codes.size());
    int assigned = 0;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const auto ours = codePointOfCp932(static_cast<std::uint16_t>(codes[i]));
        const std::string bytes = codeBytes(codes[i]);
        if (ours) {
            ++assigned;
            std::string expected;
            appendUtf8(expected, *ours);
            EXPECT_EQ(lines[i], expected) << std::hex << codes[i];
            EXPECT_EQ(cp932ToUtf8(bytes), expected);
        } else {
            const auto trail = codePointOfCp932(codes[i] & 0xFF);
            std::string trailAlone;
            if (codes[i] > 0xFF && trail)
                appendUtf8(trailAlone, *trail);
            EXPECT_TRUE(lines[i].empty() || lines[i] == trailAlone) << std::hex << codes[i];
        }
    }
    EXPECT_GT(assigned, 7900);
}

TEST(Cp932, EveryCodePointEncodesAsIconvEncodesIt) {
    std::vector<char32_t> codePoints;
    std::string input;
    for (char32_t codePoint = 1; codePoint <= 0xFFFF; ++codePoint) {
        if (codePoint == '\n' || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            continue;
        codePoints.push_back(codePoint);
        appendUtf8(input, codePoint);
        input += '\n';
    }
    const std::vector<std::string> lines = splitLines(texttest::runTool("iconv -c -f UTF-8 -t CP932", input));
    ASSERT_EQ(lines.size(), codePoints.size());
    int oneWay = 0;
    for (std::size_t i = 0; i < codePoints.size(); ++i) {
        const auto ours = cp932Code(codePoints[i]);
        if (ours) {
            EXPECT_EQ(lines[i], codeBytes(*ours)) << std::hex << static_cast<unsigned>(codePoints[i]);
        } else if (!lines[i].empty()) {
            // iconv's one-way mappings (¥ -> 5C): the code reads back as another character.
            ++oneWay;
            const std::string decoded = cp932ToUtf8(lines[i]);
            EXPECT_NE(decodeUtf8(decoded, 0).codePoint, codePoints[i])
                << std::hex << static_cast<unsigned>(codePoints[i]);
        }
    }
    EXPECT_LT(oneWay, 20);
}
