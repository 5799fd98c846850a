#include "text/Normalize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace jtext;

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

// The reference order: a heap sort by normalizedCompare.
void heapSortByCompare(std::vector<std::string>& strings, unsigned flags) {
    auto less = [flags](const std::string& a, const std::string& b) {
        return normalizedCompare(a, b, flags) < 0;
    };
    std::make_heap(strings.begin(), strings.end(), less);
    std::sort_heap(strings.begin(), strings.end(), less);
}

}  // namespace

TEST(Normalize, EachFlagIgnoresItsOwnDifferenceOnly) {
    EXPECT_EQ(normalizedCompare("ｶﾞ", "ガ", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("が", "ガ", kNormKana), 0);
    EXPECT_EQ(normalizedCompare("ァ", "ア", kNormSmallVoiced), 0);
    EXPECT_EQ(normalizedCompare("abc", "ABC", kNormCase), 0);
    EXPECT_EQ(normalizedCompare("ａｂｃ", "ＡＢＣ", kNormCase), 0);
    EXPECT_EQ(normalizedCompare("abc", "ＡＢＣ", kNormWidth | kNormCase), 0);

    EXPECT_NE(normalizedCompare("ｶﾞ", "ガ", kNormCase | kNormKana | kNormSmallVoiced), 0);
    EXPECT_NE(normalizedCompare("が", "ガ", kNormWidth | kNormCase | kNormSmallVoiced), 0);
    EXPECT_NE(normalizedCompare("ァ", "ア", kNormWidth | kNormCase | kNormKana), 0);
    EXPECT_NE(normalizedCompare("abc", "ABC", kNormWidth | kNormKana | kNormSmallVoiced), 0);
    EXPECT_NE(normalizedCompare("abc", "ＡＢＣ", kNormCase), 0);

    // The result is the difference of the first differing values; a shorter string reads as a 0 there.
    EXPECT_EQ(normalizedCompare("abd", "abc", 0), 1);
    EXPECT_EQ(normalizedCompare("ab", "abc", 0), -'c');
    EXPECT_LT(normalizedCompare("Z", "あ", 0), 0);   // 0x5A < 0x82A0
    EXPECT_LT(normalizedCompare("あ", "ア", 0), 0);  // 0x82A0 < 0x8341
    EXPECT_LT(normalizedCompare("ｱ", "ア", 0), 0);
    EXPECT_LT(normalizedCompare("黑", "é", 0), 0);  // no 932 form: after all 932 text
    EXPECT_EQ(normalizedCompare("é", "é", kNormAll), 0);
    EXPECT_EQ(normalizedCompare("", "", kNormAll), 0);
}

TEST(Normalize, VoicingMarksCombineOnlyIntoVoicedKanaOfTheTables) {
    EXPECT_EQ(normalizedCompare("カ゛", "ガ", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ハ゜", "パ", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ウ゛", "ヴ", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ｳﾞ", "ヴ", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ﾎﾟ", "ポ", kNormWidth), 0);
    // A hiragana combines only when the kana flag reads it as katakana.
    EXPECT_EQ(normalizedCompare("か゛", "ガ", kNormWidth | kNormKana), 0);
    EXPECT_NE(normalizedCompare("か゛", "が", kNormWidth), 0);
    // Pairs the tables do not hold stay two characters: the kana, then the mark as a full-width mark.
    EXPECT_EQ(normalizedCompare("ｱﾞ", "ア゛", kNormWidth), 0);
    EXPECT_GT(normalizedCompare("ｱﾞ", "ア", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ﾀﾟ", "タ゜", kNormWidth), 0);
    EXPECT_EQ(normalizedCompare("ﾞ", "゛", kNormWidth), 0);
    // Without the width flag nothing combines.
    EXPECT_NE(normalizedCompare("ｶﾞ", "ガ", kNormAll & ~kNormWidth), 0);
}

TEST(Normalize, EveryKanaFoldsToItsPlainKatakanaWithAllFlags) {
    // Each row: every form of one kana, written out by hand: katakana, hiragana, half width, small,
    // voiced and semi-voiced forms, and the forms spelt with separate marks.
    const std::vector<std::vector<std::string>> rows = {
        {"ア", "あ", "ｱ", "ァ", "ぁ", "ｧ"},
        {"イ", "い", "ｲ", "ィ", "ぃ", "ｨ"},
        {"ウ", "う", "ｳ", "ゥ", "ぅ", "ｩ", "ヴ", "ｳﾞ", "ウ゛", "う゛"},
        {"エ", "え", "ｴ", "ェ", "ぇ", "ｪ"},
        {"オ", "お", "ｵ", "ォ", "ぉ", "ｫ"},
        {"カ", "か", "ｶ", "ガ", "が", "ｶﾞ", "カ゛", "か゛"},
        {"キ", "き", "ｷ", "ギ", "ぎ", "ｷﾞ", "キ゛"},
        {"ク", "く", "ｸ", "グ", "ぐ", "ｸﾞ"},
        {"ケ", "け", "ｹ", "ゲ", "げ", "ｹﾞ"},
        {"コ", "こ", "ｺ", "ゴ", "ご", "ｺﾞ"},
        {"サ", "さ", "ｻ", "ザ", "ざ", "ｻﾞ"},
        {"シ", "し", "ｼ", "ジ", "じ", "ｼﾞ"},
        {"ス", "す", "ｽ", "ズ", "ず", "ｽﾞ"},
        {"セ", "せ", "ｾ", "ゼ", "ぜ", "ｾﾞ"},
        {"ソ", "そ", "ｿ", "ゾ", "ぞ", "ｿﾞ"},
        {"タ", "た", "ﾀ", "ダ", "だ", "ﾀﾞ"},
        {"チ", "ち", "ﾁ", "ヂ", "ぢ", "ﾁﾞ"},
        {"ツ", "つ", "ﾂ", "ッ", "っ", "ｯ", "ヅ", "づ", "ﾂﾞ"},
        {"テ", "て", "ﾃ", "デ", "で", "ﾃﾞ"},
        {"ト", "と", "ﾄ", "ド", "ど", "ﾄﾞ"},
        {"ナ", "な", "ﾅ"},
        {"ニ", "に", "ﾆ"},
        {"ヌ", "ぬ", "ﾇ"},
        {"ネ", "ね", "ﾈ"},
        {"ノ", "の", "ﾉ"},
        {"ハ", "は", "ﾊ", "バ", "ば", "ﾊﾞ", "パ", "ぱ", "ﾊﾟ", "ハ゜", "は゜"},
        {"ヒ", "ひ", "ﾋ", "ビ", "び", "ﾋﾞ", "ピ", "ぴ", "ﾋﾟ"},
        {"フ", "ふ", "ﾌ", "ブ", "ぶ", "ﾌﾞ", "プ", "ぷ", "ﾌﾟ"},
        {"ヘ", "へ", "ﾍ", "ベ", "べ", "ﾍﾞ", "ペ", "ぺ", "ﾍﾟ"},
        {"ホ", "ほ", "ﾎ", "ボ", "ぼ", "ﾎﾞ", "ポ", "ぽ", "ﾎﾟ"},
        {"マ", "ま", "ﾏ"},
        {"ミ", "み", "ﾐ"},
        {"ム", "む", "ﾑ"},
        {"メ", "め", "ﾒ"},
        {"モ", "も", "ﾓ"},
        {"ヤ", "や", "ﾔ", "ャ", "ゃ", "ｬ"},
        {"ユ", "ゆ", "ﾕ", "ュ", "ゅ", "ｭ"},
        {"ヨ", "よ", "ﾖ", "ョ", "ょ", "ｮ"},
        {"ラ", "ら", "ﾗ"},
        {"リ", "り", "ﾘ"},
        {"ル", "る", "ﾙ"},
        {"レ", "れ", "ﾚ"},
        {"ロ", "ろ", "ﾛ"},
        {"ワ", "わ", "ﾜ"},
        {"ヲ", "を", "ｦ"},
        {"ン", "ん", "ﾝ"},
        {"ー", "ｰ", "－", "-"},
        // Kana the small-kana table leaves alone.
        {"ヮ", "ゎ"},
        {"ヵ"},
        {"ヶ"},
    };
    std::vector<std::u32string> keys;
    for (const auto& row : rows) {
        const std::u32string key = normalizedKey(row[0], kNormAll);
        ASSERT_EQ(key.size(), 1u) << row[0];
        for (const std::string& form : row) {
            EXPECT_EQ(normalizedKey(form, kNormAll), key) << form << " vs " << row[0];
            EXPECT_EQ(normalizedCompare(form, row[0], kNormAll), 0) << form;
            std::size_t length = 0;
            const std::string text = "x" + form + "y";
            EXPECT_EQ(normalizedSearch(text, row[0], kNormAll, &length), 1) << form;
            EXPECT_EQ(length, form.size()) << form;
        }
        keys.push_back(key);
    }
    std::vector<std::u32string> distinct = keys;
    std::sort(distinct.begin(), distinct.end());
    EXPECT_EQ(std::unique(distinct.begin(), distinct.end()), distinct.end()) << "two rows fold together";
}

TEST(Normalize, WidthConversionBothWays) {
    std::string out;
    EXPECT_EQ(fullWidthToHalfWidth("ガキ－‐×÷あＡ１　漢", out), 8);
    EXPECT_EQ(out, "ｶﾞｷ--*/あA1 漢");
    EXPECT_EQ(fullWidthToHalfWidth("がパヴ", out), 0);
    EXPECT_EQ(out, "ｶﾞﾊﾟｳﾞ");
    EXPECT_EQ(halfWidthToFullWidth("ｶﾞｷﾟﾊﾟｱﾞ A~\\", out), 8);
    EXPECT_EQ(out, "ガキ゜パア゛　Ａ￣￥");
    EXPECT_EQ(halfWidthToFullWidth("漢字é", out), 0);
    EXPECT_EQ(out, "漢字é");
    // Half width and back gives the full-width text again.
    std::string half;
    fullWidthToHalfWidth("データベース、「カタログ」", half);
    EXPECT_EQ(half, "ﾃﾞｰﾀﾍﾞｰｽ､｢ｶﾀﾛｸﾞ｣");
    halfWidthToFullWidth(half, out);
    EXPECT_EQ(out, "データベース、「カタログ」");
}

TEST(Normalize, SearchReturnsByteOffsetAndMatchLengthInTheText) {
    std::size_t length = 0;
    EXPECT_EQ(normalizedSearch("xxabc", "ABC", kNormCase, &length), 2);
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(normalizedSearch("日本ａｂｃ", "ＡＢ", kNormCase, &length), 6);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(normalizedSearch("写真ﾌｧｲﾙ.jpg", "ファイル", kNormWidth, &length), 6);
    EXPECT_EQ(length, 12u);
    EXPECT_EQ(normalizedSearch("aｶﾞb", "ガ", kNormWidth, &length), 1);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(normalizedSearch("aｶﾞb", "ｶﾞB", kNormWidth | kNormCase, &length), 1);
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(normalizedSearch("ABCABD", "abd", kNormCase, &length), 3);
    EXPECT_EQ(normalizedSearch("東京タワー", "とうきょう", kNormAll), -1);
    EXPECT_EQ(normalizedSearch("ﾄｳｷｮｳ", "とうきよう", kNormAll, &length), 0);
    EXPECT_EQ(length, 15u);
    EXPECT_EQ(normalizedSearch("abc", "abcd", kNormCase), -1);
    EXPECT_EQ(normalizedSearch("abc", "", kNormCase), -1);
    EXPECT_EQ(normalizedSearch("", "a", kNormCase), -1);
    EXPECT_EQ(normalizedSearch("ab", "ab", 0, nullptr), 0);
    // Without the case flag only the exact case matches.
    EXPECT_EQ(normalizedSearch("Abc abc", "abc", 0), 4);
    // Invalid bytes are characters of their own and can be searched for.
    EXPECT_EQ(normalizedSearch("a\xFF\xE6z\xE6", "\xE6", 0, &length), 2);
    EXPECT_EQ(normalizedSearch("日\x97\xA5本", "\x97", 0, &length), 3);
    EXPECT_EQ(length, 1u);
    // A lone lead byte at the end neither matches nor runs past the text.
    EXPECT_EQ(normalizedSearch("ab\xE6", "b\xE6\x97", 0), -1);
    // The first match wins even when the pattern's first character is frequent.
    EXPECT_EQ(normalizedSearch("ああああいあい", "あい", kNormCase, &length), 9);
}

TEST(Normalize, SortOrdersAsTheCompareDoes) {
    std::vector<std::string> values = {"ﾊﾟｿｺﾝ",  "あいう", "ABC", "abd", "パソコン",
                                       "アイウ", "漢字",   "é",   ""};
    normalizedSort(values, kNormAll);
    ASSERT_EQ(values.size(), 9u);
    EXPECT_EQ(values[0], "");
    EXPECT_EQ(values[1], "ABC");
    EXPECT_EQ(values[2], "abd");
    EXPECT_EQ(values.back(), "é");
    for (std::size_t i = 1; i < values.size(); ++i) {
        EXPECT_LE(normalizedCompare(values[i - 1], values[i], kNormAll), 0)
            << values[i - 1] << " " << values[i];
    }

    // Random strings over a small alphabet full of the folding cases.
    const std::vector<std::string> alphabet = {"a", "A", "ｶ",  "ﾞ", "カ", "が", "゛", "ァ", "あ", "ー",
                                               "-", "ｰ", "漢", "é", "Ａ", "ｧ",  "ぱ", "ﾊ",  "ﾟ",  "\x01"};
    std::mt19937 random(932);
    for (const unsigned flags : {0u, 1u, 2u, 4u, 8u, 5u, 0xFFu}) {
        std::vector<std::string> strings;
        for (int i = 0; i < 400; ++i) {
            std::string s;
            const int length = static_cast<int>(random() % 5);
            for (int k = 0; k < length; ++k)
                s += alphabet[random() % alphabet.size()];
            strings.push_back(s);
        }
        std::vector<std::string> reference = strings;
        heapSortByCompare(reference, flags);
        normalizedSort(strings, flags);
        for (std::size_t i = 0; i < strings.size(); ++i) {
            ASSERT_EQ(normalizedCompare(strings[i], reference[i], flags), 0) << flags << " at " << i;
            if (i > 0) {
                ASSERT_LE(normalizedCompare(strings[i - 1], strings[i], flags), 0) << flags;
            }
        }
        // Keys order strings exactly as the compare does.
        for (int i = 0; i + 1 < 400; ++i) {
            const std::string& a = strings[random() % strings.size()];
            const std::string& b = strings[random() % strings.size()];
            const std::u32string ka = normalizedKey(a, flags);
            const std::u32string kb = normalizedKey(b, flags);
            ASSERT_EQ(sign(normalizedCompare(a, b, flags)), sign(ka.compare(kb))) << a << " " << b;
            std::string ba = "x";  // appended after what the buffer holds
            std::string bb = "x";
            appendNormalizedKeyBytes(ba, a, flags);
            appendNormalizedKeyBytes(bb, b, flags);
            ASSERT_EQ(sign(ka.compare(kb)), sign(ba.compare(bb))) << a << " " << b;
        }
    }
    // Byte keys order values of every width, and 0 values inside and at the end, as the keys do.
    const std::vector<std::string> edges = {"a",
                                            std::string("a\0", 2),
                                            std::string("a\0b", 3),
                                            "a\x7f",
                                            "aé",
                                            "aｶ",
                                            "a漢",
                                            "a\xF0\x9F\x98\x80",
                                            "a\xFF",
                                            "b",
                                            ""};
    for (const std::string& a : edges) {
        for (const std::string& b : edges) {
            std::string ba;
            std::string bb;
            appendNormalizedKeyBytes(ba, a, 0);
            appendNormalizedKeyBytes(bb, b, 0);
            EXPECT_EQ(sign(normalizedKey(a, 0).compare(normalizedKey(b, 0))), sign(ba.compare(bb)))
                << a << " " << b;
        }
    }
}

TEST(Normalize, SearchFindsTheFirstStartThatReadsAsThePattern) {
    // Reference: the first character boundary from which the text reads (in context) as the pattern.
    auto reference = [](const std::string& text, const std::string& pattern,
                        unsigned flags) -> std::ptrdiff_t {
        const std::u32string wanted = normalizedKey(pattern, flags);
        for (std::size_t pos = 0; pos < text.size(); pos += decodeUtf8(text, pos).length) {
            if (normalizedKey(text.substr(pos), flags).starts_with(wanted))
                return static_cast<std::ptrdiff_t>(pos);
        }
        return -1;
    };
    const std::vector<std::string> alphabet = {"a",  "A",  "ｶ",  "ﾞ",  "ﾟ", "カ",   "が",
                                               "゛", "ァ", "あ", "ー", "-", "ｰ",    "ﾊ",
                                               "パ", "ぱ", "Ａ", "ａ", "é", "\xE3", "\x81"};
    std::mt19937 random(2024);
    for (const unsigned flags : {0u, 1u, 2u, 3u, 4u, 5u, 8u, 0xFFu}) {
        for (int round = 0; round < 300; ++round) {
            std::string text;
            std::string pattern;
            const int textLength = static_cast<int>(random() % 12);
            for (int k = 0; k < textLength; ++k)
                text += alphabet[random() % alphabet.size()];
            const int patternLength = 1 + static_cast<int>(random() % 3);
            for (int k = 0; k < patternLength; ++k)
                pattern += alphabet[random() % alphabet.size()];
            std::size_t length = 0;
            const std::ptrdiff_t found = normalizedSearch(text, pattern, flags, &length);
            ASSERT_EQ(found, reference(text, pattern, flags))
                << flags << " [" << text << "] [" << pattern << "]";
            if (found >= 0) {
                EXPECT_EQ(normalizedKey(text.substr(found, length), flags), normalizedKey(pattern, flags));
            }
        }
    }
}
