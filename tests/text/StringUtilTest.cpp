#include "text/StringUtil.h"

#include <gtest/gtest.h>

using namespace jtext;

namespace {

std::vector<std::string> split(std::string_view text, std::string_view delimiters) {
    std::vector<std::string> pieces = {"kept"};
    splitAtDelimiters(text, delimiters, pieces);
    pieces.erase(pieces.begin());
    return pieces;
}

using Pieces = std::vector<std::string>;

}  // namespace

TEST(StringUtil, SplitAndJoin) {
    EXPECT_EQ(split("写真,旅行,京都", ","), (Pieces{"写真", "旅行", "京都"}));
    EXPECT_EQ(split("a,, b;c", ", ;"), (Pieces{"a", "b", "c"}));  // a run ends one piece
    EXPECT_EQ(split(",a", ","), (Pieces{"", "a"}));               // the text before the first one counts
    EXPECT_EQ(split("a,,", ","), (Pieces{"a"}));                  // a trailing run adds nothing
    EXPECT_EQ(split("表示", "\\"), (Pieces{"表示"}));             // no byte of a character is a delimiter
    EXPECT_EQ(split("abc", ","), (Pieces{"abc"}));
    EXPECT_EQ(split("", ","), (Pieces{""}));
    std::vector<std::string> appended = {"x"};
    splitAtDelimiters("y z", " ", appended);
    EXPECT_EQ(appended, (Pieces{"x", "y", "z"}));

    EXPECT_EQ(join({"a", "b", "c"}, ", "), "a, b, c");
    EXPECT_EQ(join({"値"}, ","), "値");
    EXPECT_EQ(join({}, ","), "");
    EXPECT_EQ(join({"", ""}, ","), ",");
}

TEST(StringUtil, LastCharacterAndLeadBytes) {
    EXPECT_EQ(lastCharacter(""), "");
    EXPECT_EQ(lastCharacter("a"), "a");
    EXPECT_EQ(lastCharacter("フォルダ\\"), "\\");
    EXPECT_EQ(lastCharacter("フォルダ"), "ダ");
    EXPECT_EQ(lastCharacter("x😀"), "😀");
    EXPECT_EQ(lastCharacter("ab\xE6\x97"), "\x97");  // a cut-off character: its last byte alone
    EXPECT_EQ(lastCharacter("\x97\x97\x97\x97"), "\x97");

    EXPECT_EQ(leadByteAt("aあ", 0), 0);
    EXPECT_EQ(leadByteAt("aあ", 1), 1);
    EXPECT_EQ(leadByteAt("aあ", 2), 0);
    EXPECT_EQ(leadByteAt("aあ", 4), -1);
    EXPECT_EQ(leadByteAt("\xE6z", 0), 0);

    const std::string sjis = "a\x95\x5C\x81\x81\xB1";  // a 表 ＝ ｱ
    EXPECT_EQ(cp932LeadByteAt(sjis, 0), 0);
    EXPECT_EQ(cp932LeadByteAt(sjis, 1), 1);
    EXPECT_EQ(cp932LeadByteAt(sjis, 2), 0);
    EXPECT_EQ(cp932LeadByteAt(sjis, 3), 1);
    EXPECT_EQ(cp932LeadByteAt(sjis, 4), 0);  // 0x81 as a trail byte
    EXPECT_EQ(cp932LeadByteAt(sjis, 5), 0);
    EXPECT_EQ(cp932LeadByteAt(sjis, 6), -1);
}

TEST(StringUtil, ThousandsFormat) {
    EXPECT_EQ(thousandsFormat(1234567.5), "1,234,567.5");
    EXPECT_EQ(thousandsFormat(-1234), "-1,234");
    EXPECT_EQ(thousandsFormat(-123), "-123");
    EXPECT_EQ(thousandsFormat(0), "0");
    EXPECT_EQ(thousandsFormat(999), "999");
    EXPECT_EQ(thousandsFormat(1000), "1,000");
    EXPECT_EQ(thousandsFormat(1234567890.0), "1,234,567,890");
    EXPECT_EQ(thousandsFormat(12345678901.0), "1.23456789e+10");  // "%.10g" keeps ten digits
    EXPECT_EQ(thousandsFormat(0.125), "0.125");
    EXPECT_EQ(thousandsFormat(1e20), "1e+20");
}
