// Reading and writing a text in its own code, line by line, against iconv and nkf: what the preview's
// editor relies on to save a text the way the file was written.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextTestHelpers.h"
#include "text/JapaneseCode.h"
#include "text/TextCodec.h"

using namespace jtext;
using texttest::runTool;

namespace {

const char* const kLines[] = {"吾輩は猫である。名前はまだ無い。", "ABC abc 123 ｶﾀｶﾅ", "", "表示と能力、ソ十"};

struct Code {
    int code;
    const char* iconvName;
};
const Code kCodes[] = {{kCodeShiftJis, "CP932"}, {kCodeEuc, "EUC-JP"}, {kCodeJis, "ISO-2022-JP"},
                       {kCodeUtf8, "UTF-8"}};

std::string joined(const char* lineEnd) {
    std::string text;
    for (const char* line : kLines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

}  // namespace

// Every line of a text that iconv wrote reads as the line written, and each line written back gives
// iconv's bytes; the line ends come back as they were, a last line without one included.
TEST(TextCodecTest, LinesReadAndWriteAsIconvDoes) {
    for (const Code& code : kCodes) {
        for (const char* lineEnd : {"\r\n", "\n", "\r"}) {
            std::string source = joined(lineEnd) + "最後の行";
            if (code.code == kCodeShiftJis || code.code == kCodeUtf8) {
                source += "、～①Ⅰ㈱";  // Windows' own characters, which EUC-JP and JIS lack
            }
            if (code.code == kCodeJis) {
                // ISO-2022-JP has no half-width kana.
                const std::string kana = "ｶﾀｶﾅ";
                source.replace(source.find(kana), kana.size(), "kana");
            }
            const std::string file =
                runTool(std::string("iconv -f UTF-8 -t ") + code.iconvName, source);
            ASSERT_FALSE(file.empty());
            EXPECT_EQ(textCodeOf(file), code.code) << code.iconvName;

            resetJisShiftState();
            std::string back;
            std::string decodedAll;
            for (const LineSpan& line : splitLines(file)) {
                const std::string_view bytes = std::string_view(file).substr(line.begin, line.length);
                const std::string text = decodeText(bytes, code.code);
                decodedAll += text;
                decodedAll += lineEndBytes(line.lineEnd);
                std::string encoded;
                ASSERT_TRUE(encodeText(text, code.code, encoded)) << text;
                back += encoded;
                back += lineEndBytes(line.lineEnd);
            }
            EXPECT_EQ(decodedAll, source) << code.iconvName;
            EXPECT_EQ(back, file) << code.iconvName << " line end " << int(lineEnd[0]);
        }
    }
}

// A character the code cannot hold is found where it is, so that the user can be told; nkf agrees on the
// code and line end of what we write.
TEST(TextCodecTest, CharactersWithoutFormAreFoundAndNkfAgrees) {
    const std::string line = "カフェ café ☕";
    for (const int code : {kCodeShiftJis, kCodeEuc, kCodeJis}) {
        std::string out;
        std::size_t bad = 99;
        EXPECT_FALSE(encodeText(line, code, out, &bad)) << codeName(code);
        EXPECT_EQ(line.substr(bad, 2), "é") << codeName(code);
    }
    std::string utf8;
    EXPECT_TRUE(encodeText(line, kCodeUtf8, utf8));
    EXPECT_EQ(utf8, line);

    std::string sjis;
    ASSERT_TRUE(encodeText("日本語のテキスト", kCodeShiftJis, sjis));
    const std::string crlf = sjis + "\r\n" + sjis + "\r\n";
    EXPECT_EQ(runTool("nkf --guess", crlf), "Shift_JIS (CRLF)\n");
    std::string euc;
    ASSERT_TRUE(encodeText("日本語のテキスト", kCodeEuc, euc));
    EXPECT_EQ(runTool("nkf --guess", euc + "\r" + euc + "\r"), "EUC-JP (CR)\n");

    EXPECT_TRUE(looksBinary(std::string("MZ\0\1", 4)));
    EXPECT_FALSE(looksBinary(sjis));
    const std::vector<LineSpan> none = splitLines("one line");
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(none[0].lineEnd, kLineEndNone);
}
