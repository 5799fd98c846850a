#include "text/JapaneseCode.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TextTestHelpers.h"
#include "support/CTempFolder.h"
#include "text/Cp932.h"

using namespace jtext;
using texttest::runTool;

namespace {

// Real Japanese prose with kanji, both kana, voiced and small kana, full-width letters and digits,
// punctuation and ASCII, in characters that every Japanese code holds alike.
const std::string kSampleUtf8 =
    "吾輩は猫である。名前はまだ無い。\n"
    "どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している"
    "。\n"
    "Quillory 1.13: ファイル・カタログ（データベース）【ＡＢＣ１２３】『ヴァイオリン』※→\n"
    "\n"
    "plain ASCII line, 100% ok\n";

int doubleByteCount(const std::string& utf8) {
    int count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); pos += decodeUtf8(utf8, pos).length) {
        count += static_cast<unsigned char>(utf8[pos]) >= 0x80;
    }
    return count;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line + "\n");
    return out;
}

int detectFile(const CTempFolder& folder, const std::string& bytes) {
    const std::string path = folder / "detect.txt";
    texttest::writeFile(path, bytes);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const int code = detectJapaneseCode(file);
    EXPECT_EQ(std::ftell(file), 0) << "the position is kept";
    std::fclose(file);
    return code;
}

}  // namespace

TEST(JapaneseCode, DetectsTheCodeOfFilesWrittenByIconvAndNkf) {
    CTempFolder folder;
    const std::string sjis = runTool("iconv -f UTF-8 -t CP932", kSampleUtf8);
    const std::string euc = runTool("iconv -f UTF-8 -t EUC-JP", kSampleUtf8);
    const std::string jis = runTool("iconv -f UTF-8 -t ISO-2022-JP", kSampleUtf8);
    ASSERT_FALSE(sjis.empty());
    EXPECT_EQ(detectFile(folder, sjis), kCodeShiftJis);
    // EUC kana and kanji bytes are also Shift-JIS kana and kanji: this text stays undecided, while a
    // byte that only EUC uses decides at once.
    EXPECT_EQ(detectFile(folder, euc), kCodeEucOrShiftJis);
    EXPECT_EQ(detectFile(folder, runTool("iconv -f UTF-8 -t EUC-JP", "日本語\n")), kCodeEuc);
    EXPECT_EQ(detectFile(folder, runTool("iconv -f UTF-8 -t EUC-JP", "こんにちは\n")), kCodeEuc);
    EXPECT_EQ(detectFile(folder, jis), kCodeJis);
    EXPECT_EQ(detectFile(folder, kSampleUtf8), kCodeUtf8);
    EXPECT_EQ(detectFile(folder, runTool("nkf -s", kSampleUtf8)), kCodeShiftJis);
    EXPECT_EQ(detectFile(folder, runTool("nkf -e", kSampleUtf8)), kCodeEucOrShiftJis);
    EXPECT_EQ(detectFile(folder, runTool("nkf -e", "ワンポイント\n")), kCodeEuc);
    EXPECT_EQ(detectFile(folder, runTool("nkf -j", kSampleUtf8)), kCodeJis);
    EXPECT_EQ(detectFile(folder, runTool("nkf -w", sjis)), kCodeUtf8);

    // Large files: a character cut by a read block is still UTF-8; one bad byte far in makes it not.
    EXPECT_EQ(detectFile(folder, std::string(65535, 'a') + "あ"), kCodeUtf8);
    EXPECT_EQ(detectFile(folder, std::string(65534, 'a') + "😀"), kCodeUtf8);
    std::string nearlyUtf8;
    for (int i = 0; i < 30000; ++i)
        nearlyUtf8 += "あ";
    EXPECT_EQ(detectFile(folder, nearlyUtf8 + "\xFF"), kCodeShiftJis);
    EXPECT_EQ(detectFile(folder, nearlyUtf8 + "\xE3\x81"), kCodeShiftJis);
    EXPECT_EQ(detectJapaneseCode(nearlyUtf8 + "\xE3\x81"), kCodeShiftJis);
    {
        // Detection reads from the current position and leaves it there.
        const std::string path = folder / "offset.txt";
        texttest::writeFile(path, "\x88\x9F" + kSampleUtf8);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 2, SEEK_SET);
        EXPECT_EQ(detectJapaneseCode(file), kCodeUtf8);
        EXPECT_EQ(std::ftell(file), 2);
        std::fclose(file);
    }

    EXPECT_EQ(detectJapaneseCode("plain ASCII\r\n"), kCodeNone);
    EXPECT_EQ(detectJapaneseCode(""), kCodeNone);
    EXPECT_EQ(detectJapaneseCode("\xB1\xB2\xB3\xB4"), kCodeEucOrShiftJis);  // ｱｲｳｴ in Shift-JIS
    EXPECT_EQ(detectJapaneseCode("\x1B$Bxx\x82\xA0"), kCodeJis);            // decided at once
    EXPECT_EQ(detectJapaneseCode("\x1B(Babc"), kCodeNone);
    EXPECT_EQ(detectJapaneseCode("\xB1\n"), kCodeShiftJis);  // kana then a byte < 0xA0
    EXPECT_EQ(detectJapaneseCode("\xA4\xA2\xF0\xA1"), kCodeEuc);
    EXPECT_EQ(detectJapaneseCode("\xE0\x40"), kCodeShiftJis);
    EXPECT_EQ(detectJapaneseCode("\xE0\xFD"), kCodeEuc);
    EXPECT_EQ(detectJapaneseCode("\xE0\xA1"), kCodeEucOrShiftJis);
    // Undecided text, then kana and a kanji lead: reading goes on until a byte decides.
    EXPECT_EQ(detectJapaneseCode("\xB1\xB2\xB1\xE0\x41\x42\x88\x9F"), kCodeShiftJis);
    EXPECT_EQ(detectJapaneseCode("\xB1\xB2\xB1\xE0\x41\xFE"), kCodeEuc);
    EXPECT_EQ(detectJapaneseCode("\xB1\xB2\xB1\xE0\x20\x88\x9F"), kCodeShiftJis);
    EXPECT_EQ(detectJapaneseCode("\xB1\xE0\x88"), kCodeShiftJis);   // the pair is passed over while 4
    EXPECT_EQ(detectJapaneseCode("\xC3\xA9t\xC3\xA9"), kCodeUtf8);  // été is UTF-8, not EUC

    const std::string path = folder / "lines.txt";
    for (const auto& [bytes, expected] :
         std::vector<std::pair<std::string, int>>{{"a\r\nb\r\n", kLineEndCrLf},
                                                  {"a\nb", kLineEndLf},
                                                  {"a\rb", kLineEndCr},
                                                  {"a\r", kLineEndCr},
                                                  {"abc", kLineEndNone},
                                                  {"", kLineEndNone},
                                                  {"\n\r", kLineEndLf}}) {
        texttest::writeFile(path, bytes);
        std::FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_EQ(detectLineEnd(file), expected) << bytes;
        EXPECT_EQ(std::ftell(file), 0);
        std::fclose(file);
        EXPECT_EQ(detectLineEnd(bytes), expected);
    }
}

TEST(JapaneseCode, ConvertersGiveTheBytesThatIconvAndNkfGive) {
    resetJisShiftState();
    const std::string sjis = runTool("iconv -f UTF-8 -t CP932", kSampleUtf8);
    const std::string euc = runTool("iconv -f UTF-8 -t EUC-JP", kSampleUtf8);
    const std::string jis = runTool("iconv -f UTF-8 -t ISO-2022-JP", kSampleUtf8);
    std::string out;
    const int count = doubleByteCount(kSampleUtf8);
    ASSERT_GT(count, 90);

    EXPECT_EQ(eucToShiftJis(euc, out), count);
    EXPECT_EQ(out, sjis);
    eucToShiftJis(runTool("nkf -e", kSampleUtf8), out);
    EXPECT_EQ(out, sjis);
    shiftJisToEuc(sjis, out);
    EXPECT_EQ(out, euc);
    EXPECT_EQ(out, runTool("nkf -S -e", sjis));

    EXPECT_EQ(jisToShiftJis(jis, out), count);
    EXPECT_EQ(out, sjis);
    // Line by line, as the preview reads a file: the shift state carries over.
    std::string joined;
    for (const std::string& line : lines(runTool("nkf -j", kSampleUtf8))) {
        jisToShiftJis(line, out);
        joined += out;
    }
    EXPECT_EQ(joined, sjis);

    EXPECT_EQ(shiftJisToJis(sjis, out), count);
    EXPECT_EQ(out, jis);
    EXPECT_EQ(out, runTool("nkf -S -j", sjis));
    EXPECT_EQ(runTool("iconv -f ISO-2022-JP -t UTF-8", out), kSampleUtf8);
    // Each line on its own ends in plain mode, so every line decodes by itself.
    for (const std::string& line : lines(sjis)) {
        shiftJisToJis(line, out);
        EXPECT_EQ(runTool("iconv -f ISO-2022-JP -t CP932", out), line);
    }
}

TEST(JapaneseCode, HalfWidthKanaTravelThroughJisAndEuc) {
    resetJisShiftState();
    const std::string utf8 = "ﾃﾞｰﾀ ｶﾀﾛｸﾞ｡漢字ｱ\nabc ｶﾅ\n";
    const std::string sjis = runTool("iconv -f UTF-8 -t CP932", utf8);
    std::string out;

    // Shift-out / shift-in kana, returning to ASCII before shifting out of kanji.
    shiftJisToJis(sjis, out);
    EXPECT_EQ(out.substr(0, 5), "\x0E\x43\x5E\x30\x40");
    EXPECT_EQ(runTool("nkf -x -J -s", out), sjis);
    EXPECT_EQ(runTool("nkf -x -J -w", out), utf8);
    std::string back;
    jisToShiftJis(out, back);
    EXPECT_EQ(back, sjis);

    // nkf writes kana with ESC ( I.
    const std::string nkfJis = runTool("nkf -x -S -j", sjis);
    ASSERT_NE(nkfJis.find("\x1B(I"), std::string::npos);
    jisToShiftJis(nkfJis, out);
    EXPECT_EQ(out, sjis);

    shiftJisToEuc(sjis, out);
    EXPECT_EQ(out, runTool("iconv -f UTF-8 -t EUC-JP", utf8));
    eucToShiftJis(out, back);
    EXPECT_EQ(back, sjis);
}

TEST(JapaneseCode, OddInputIsCopiedAndTheShiftStateIsShared) {
    resetJisShiftState();
    std::string out;
    // A shift that spans calls is honoured.
    EXPECT_EQ(jisToShiftJis("\x1B$B%+", out), 1);
    EXPECT_EQ(out, "\x83\x4A");
    EXPECT_EQ(jisToShiftJis("%?\x1B(B!", out), 1);
    EXPECT_EQ(out, "\x83\x5E!");
    EXPECT_EQ(jisToShiftJis("%?", out), 0);
    EXPECT_EQ(out, "%?");
    // Each escape sequence sets the modes as it should.
    EXPECT_EQ(jisToShiftJis("\x1B$@%+\x1B(J%+\x1B&@%+\x1B(H%+\x1B$(D%+\x1B(I1\x1B$B%+", out), 4);
    EXPECT_EQ(out, "\x83\x4A%+\x83\x4A%+\x83\x4A\xB1\x83\x4A");
    // Kanji mode: a pair that is no JIS code is copied byte by byte; an unknown escape is copied.
    resetJisShiftState();
    EXPECT_EQ(jisToShiftJis("\x1B$B\n%+\x1B(B \x1B[0m\x0E\x31\n\x0F\x31", out), 1);
    EXPECT_EQ(out, "\n\x83\x4A \x1B[0m\xB1\n1");

    resetJisShiftState();
    // Characters without a JIS form (user-defined area) are copied in plain mode.
    EXPECT_EQ(shiftJisToJis("\x88\x9F\xF0\x40\x88\x9F", out), 2);
    EXPECT_EQ(out, "\x1B$B\x30\x21\x1B(B\xF0\x40\x1B$B\x30\x21\x1B(B");
    EXPECT_EQ(shiftJisToJis("ab\x88", out), 0);  // a lead byte at the end
    EXPECT_EQ(out, "ab\x88");
    EXPECT_EQ(shiftJisToJis("", out), 0);
    EXPECT_EQ(out, "");

    // EUC: a lone 0x8F is dropped, a pair that converts to nothing is copied.
    EXPECT_EQ(eucToShiftJis("\x8F\xB0\xA1x\xFF \xB0", out), 1);
    EXPECT_EQ(out, "\x88\x9Fx\xFF \xB0");
    shiftJisToEuc("\xF0\x40\x81", out);
    EXPECT_EQ(out, "\xF0\x40\x81");
}

TEST(JapaneseCodeTest, TheSecondLookSettlesWhatTheFirstLeavesOpen) {
    // "表" in EUC-JP (C9 BD) is valid UTF-8 too (U+027D); the first answer says UTF-8, the second EUC.
    EXPECT_EQ(detectJapaneseCode("\xC9\xBD"), kCodeUtf8);
    EXPECT_EQ(settleJapaneseCode("\xC9\xBD", kCodeUtf8), kCodeEuc);
    // Half-width kana only: EUC writes each with 0x8E; Shift-JIS voiced pairs read as kana with their marks.
    const std::string eucKana = "\x8E\xC3\x8E\xDE\x8E\xB0\x8E\xC0";  // ﾃﾞｰﾀ
    EXPECT_EQ(detectJapaneseCode(eucKana), kCodeEucOrShiftJis);
    EXPECT_EQ(settleJapaneseCode(eucKana, kCodeEucOrShiftJis), kCodeEuc);
    const std::string sjisKana = "\xB1\xD8\xB6\xDE\xC4\xB3 \xBA\xDE\xBB\xDE\xB2\xCF\xBD";  // ｱﾘｶﾞﾄｳ ｺﾞｻﾞｲﾏｽ
    EXPECT_EQ(settleJapaneseCode(sjisKana, detectJapaneseCode(sjisKana)), kCodeShiftJis);
    // JIS that shifts only to half-width kana (ESC ( I) has no kanji designation for the first look.
    const std::string jisKana = "\x1B(ICFD0\x1B(B";
    EXPECT_EQ(detectJapaneseCode(jisKana), kCodeNone);
    EXPECT_EQ(settleJapaneseCode(jisKana, kCodeNone), kCodeJis);
    // Certain answers and plain ASCII stay as they are; real UTF-8 stays UTF-8.
    EXPECT_EQ(settleJapaneseCode("\x82\xA0", kCodeShiftJis), kCodeShiftJis);
    EXPECT_EQ(settleJapaneseCode("plain", kCodeNone), kCodeNone);
    EXPECT_EQ(settleJapaneseCode("\xE5\x85\x88\xE7\x94\x9F", kCodeUtf8), kCodeUtf8);  // 先生
}

TEST(JapaneseCodeTest, AFewStrayBytesDoNotOutweighValidUtf8) {
    std::string utf8;
    while (utf8.size() < 33 * 1024)
        utf8 += kSampleUtf8;
    std::string stray = utf8;
    stray.insert(stray.size() / 2, "\xE9");
    // The first look stops at the stray byte; the second weighs it against thousands of valid characters.
    EXPECT_NE(detectJapaneseCode(stray), kCodeUtf8);
    EXPECT_EQ(settleJapaneseCode(stray, detectJapaneseCode(stray)), kCodeUtf8);
    stray.insert(100, "\x81\xFF");
    EXPECT_EQ(settleJapaneseCode(stray, detectJapaneseCode(stray)), kCodeUtf8);

    // Shift-JIS and EUC-JP are never taken for UTF-8, neither for stray bytes of their own nor for a pasted
    // UTF-8 line.
    const std::string sjis = runTool("iconv -f UTF-8 -t CP932", utf8);
    const std::string euc = runTool("iconv -f UTF-8 -t EUC-JP", utf8);
    for (const auto& [bytes, code] : {std::pair(sjis, kCodeShiftJis), std::pair(euc, kCodeEuc)}) {
        EXPECT_EQ(settleJapaneseCode(bytes, detectJapaneseCode(bytes)), code);
        std::string mixed = bytes;
        mixed.insert(mixed.find('\n', mixed.size() / 2) + 1, "\xFF\n");
        EXPECT_NE(settleJapaneseCode(mixed, detectJapaneseCode(mixed)), kCodeUtf8);
        mixed.insert(mixed.find('\n', mixed.size() / 3) + 1, kSampleUtf8.substr(0, kSampleUtf8.find('\n') + 1));
        EXPECT_NE(settleJapaneseCode(mixed, detectJapaneseCode(mixed)), kCodeUtf8);
    }
    // Too little valid UTF-8 to outweigh a stray byte: the classification decides as before.
    const std::string shortText = "\xE5\x85\x88\xE9 \x82\xA0";
    EXPECT_EQ(settleJapaneseCode(shortText, detectJapaneseCode(shortText)), kCodeShiftJis);
}
