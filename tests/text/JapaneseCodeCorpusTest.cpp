// The Japanese code detector with its second look, against nkf --guess, on a corpus that iconv writes in
// the four codes: sentences and single words, with kanji, both kana and half-width kana.

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TextTestHelpers.h"
#include "support/CTempFolder.h"
#include "text/JapaneseCode.h"

using namespace jtext;
using texttest::runTool;

namespace {

const char* const kSentences[] = {
    "吾輩は猫である。名前はまだ無い。",
    "今日は良い天気ですね。",
    "東京駅から新幹線に乗って大阪へ行きました。",
    "このファイルは文字コードの判定に使います。",
    "私は毎朝コーヒーを飲みます。",
    "図書館で本を三冊借りた。",
    "明日の会議は午後二時から始まります。",
    "彼女はピアノを弾くのが上手だ。",
    "表計算ソフトでデータを集計する。",
    "山田さんは駅の近くに住んでいる。",
    "春になると桜の花が咲きます。",
    "子供たちが公園で遊んでいる。",
    "新しいパソコンを買いました。",
    "電車が遅れたので学校に遅刻した。",
    "日本語の文章を正しく表示したい。",
    "雨が降りそうなので傘を持って行こう。",
    "彼は昨日から風邪をひいている。",
    "海の見える部屋に泊まりたい。",
    "週末は家族と映画を見に行く予定です。",
    "この問題の答えを教えてください。",
    "京都には古いお寺がたくさんあります。",
    "夏休みに北海道を旅行した。",
    "朝ご飯を食べずに家を出た。",
    "駅前の店でラーメンを食べた。",
    "会社の同僚と一緒に昼食をとる。",
    "先生の話をよく聞きなさい。",
    "猫が窓辺で昼寝をしている。",
    "来年は海外で働きたいと考えています。",
    "漢字の読み方が分かりません。",
    "空港までタクシーで三十分かかる。",
    "料理の作り方をインターネットで調べた。",
    "兄は銀行に勤めています。",
    "冬の夜は星がきれいに見える。",
    "彼の意見には賛成できない。",
    "窓を開けて部屋の空気を入れ替える。",
    "品質管理部門の報告書を提出する。",
    "情報処理技術者試験合格。",
    "東京都千代田区丸の内一丁目",
    "株式会社山田商事営業部長",
    "第三回定期総会議事録",
    "ﾃﾞｰﾀﾍﾞｰｽを更新しました。",
    "ｶﾀｶﾅの名前はﾔﾏﾀﾞです。",
    "本日のﾒﾆｭｰはｶﾚｰﾗｲｽです。",
    "ﾌｧｲﾙを保存してください。",
    "ﾃﾞｰﾀﾍﾞｰｽ ｦ ｹﾝｻｸ ｼﾏｽ",
    "ｺﾝﾆﾁﾊ ｾｶｲ",
    "ｱﾘｶﾞﾄｳ ｺﾞｻﾞｲﾏｽ｡",
    "ﾊﾟｿｺﾝ ﾉ ｾｯﾃｲ ｦ ﾍﾝｺｳ",
    "ｺｰﾋｰ ｦ ﾉﾐﾏｽ",
    "ｼｮｳﾋﾝ ｺｰﾄﾞ: 12345",
    "Quillory 1.13 の新機能を紹介します。",
    "ファイル名: report_2024.txt を開く",
    "メールアドレスは taro@example.jp です。",
    "価格は 1,200 円（税込）です。",
    "OK ボタンを押してください。",
    "カタログ「音楽」に曲を追加する。",
    "全角ＡＢＣと半角ABCの違い",
    "ひらがなだけのぶんしょうです。",
    "カタカナダケノブンショウデス。",
    "『吾輩は猫である』は夏目漱石の小説だ。",
};

const char* const kWords[] = {
    "表",       "日本",     "東京",     "大阪",       "漢字",       "会議",     "電話",     "学校",
    "先生",     "天気",     "新聞",     "時間",       "世界",       "情報",     "経済",     "社会",
    "文化",     "音楽",     "写真",     "映画",       "図書館",     "表示",     "設定",     "検索",
    "保存",     "ねこ",     "さくら",   "ありがとう", "こんにちは", "ひらがな", "コーヒー", "データ",
    "ファイル", "カタログ", "パソコン", "テスト",     "メニュー",   "ボタン",   "ｶﾀｶﾅ",     "ﾃﾞｰﾀ",
    "ﾌｧｲﾙ",     "ｺｰﾋｰ",     "ﾒﾆｭｰ",     "ﾊﾟｿｺﾝ",      "ｱｲｳｴｵ",      "ﾃｽﾄ",      "猫",       "犬",
    "山",       "川",       "花",       "空",         "海",         "雨",
};

bool hasHalfWidthKana(const std::string& utf8) {
    return utf8.find("\xEF\xBD") != std::string::npos || utf8.find("\xEF\xBE") != std::string::npos;
}

// nkf's names for the four codes.
int codeOfNkfName(const std::string& name) {
    static const std::map<std::string, int> kCodes = {
        {"Shift_JIS", kCodeShiftJis}, {"CP932", kCodeShiftJis}, {"Windows-31J", kCodeShiftJis},
        {"EUC-JP", kCodeEuc},         {"CP51932", kCodeEuc},    {"eucJP-ms", kCodeEuc},
        {"ISO-2022-JP", kCodeJis},    {"CP50221", kCodeJis},    {"UTF-8", kCodeUtf8},
        {"ASCII", kCodeNone},
    };
    const auto found = kCodes.find(name);
    return found == kCodes.end() ? -1 : found->second;
}

struct Sample {
    std::string bytes;
    int code;
    std::string label;
};

}  // namespace

TEST(JapaneseCodeCorpus, SecondLookIsRightAtLeastAsOftenAsNkf) {
    std::vector<std::string> texts(std::begin(kSentences), std::end(kSentences));
    texts.insert(texts.end(), std::begin(kWords), std::end(kWords));
    ASSERT_GE(texts.size(), 100u);

    // iconv writes every text in every code; JIS gets half-width kana through ESC ( I (ISO-2022-JP-2).
    std::vector<Sample> samples;
    for (const std::string& text : texts) {
        const std::string jis = hasHalfWidthKana(text) ? "ISO-2022-JP-2" : "ISO-2022-JP";
        samples.push_back({runTool("iconv -f UTF-8 -t CP932", text), kCodeShiftJis, "Shift-JIS " + text});
        samples.push_back({runTool("iconv -f UTF-8 -t EUC-JP", text), kCodeEuc, "EUC-JP " + text});
        samples.push_back({runTool("iconv -f UTF-8 -t " + jis, text), kCodeJis, "JIS " + text});
        samples.push_back({text, kCodeUtf8, "UTF-8 " + text});
    }

    // nkf guesses every sample in one run: "FILE: NAME" per line.
    CTempFolder folder;
    std::string files;
    for (std::size_t i = 0; i < samples.size(); ++i)
        files += " '" + folder.write(std::to_string(i), samples[i].bytes) + "'";
    std::istringstream guesses(runTool("nkf --guess" + files, ""));
    int ours = 0;
    int nkf = 0;
    std::size_t index = 0;
    for (std::string line; std::getline(guesses, line); ++index) {
        ASSERT_LT(index, samples.size());
        const Sample& sample = samples[index];
        const std::string name = line.substr(line.rfind(": ") + 2);
        const int guessed = codeOfNkfName(name.substr(0, name.find(' ')));
        const int detected = settleJapaneseCode(sample.bytes, detectJapaneseCode(sample.bytes));
        nkf += guessed == sample.code;
        ours += detected == sample.code;
        if (detected != sample.code)
            std::cout << "ours " << detected << " nkf " << name << ": " << sample.label << "\n";
    }
    ASSERT_EQ(index, samples.size());
    std::cout << "right of " << samples.size() << ": ours " << ours << ", nkf --guess " << nkf << "\n";
    RecordProperty("ours", ours);
    RecordProperty("nkf", nkf);
    EXPECT_GE(ours, nkf);
}
