// Normalised search over a large mixed Japanese and ASCII text, with memchr over the same buffer as the
// base, and the normalised sort of many distinct Japanese values.

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "text/Normalize.h"

namespace {

constexpr std::size_t kTextSize = 64u << 20;

// 64 MB of catalog-like text: Japanese sentences, ASCII words and file names in random order; the
// searched patterns occur only at the very end, so every search scans the whole buffer.
const std::string& mixedText() {
    static const std::string text = [] {
        const std::vector<std::string> pieces = {"吾輩は猫である。",
                                                 "名前はまだ無い。",
                                                 "どこで生れたかとんと見当がつかぬ。",
                                                 "写真フォルダの",
                                                 "ファイル一覧を表示します。",
                                                 "カタログに登録された項目",
                                                 "ﾃﾞｰﾀﾍﾞｰｽ",
                                                 "京都の旅行（２０２４年）",
                                                 "the ",
                                                 "file ",
                                                 "name ",
                                                 "size ",
                                                 "date ",
                                                 "folder ",
                                                 "image ",
                                                 "text ",
                                                 "catalog ",
                                                 "tag ",
                                                 "value ",
                                                 "Thumbnail ",
                                                 "IMG_0042.JPG ",
                                                 "report-final.docx ",
                                                 "\r\n",
                                                 "、",
                                                 "。"};
        std::mt19937 random(42);
        std::string built;
        built.reserve(kTextSize + 64);
        while (built.size() < kTextSize)
            built += pieces[random() % pieces.size()];
        built += "TheEndMarker 終わりの印です";
        return built;
    }();
    return text;
}

void searchBench(benchmark::State& state, const char* pattern) {
    const std::string& text = mixedText();
    for (auto _ : state) {
        std::size_t length = 0;
        benchmark::DoNotOptimize(jtext::normalizedSearch(text, pattern, jtext::kNormCase, &length));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_MemchrBase(benchmark::State& state) {
    const std::string& text = mixedText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::memchr(text.data(), '\x01', text.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void BM_SearchAsciiPattern(benchmark::State& state) {
    searchBench(state, "theendmarker");
}
void BM_SearchJapanesePattern(benchmark::State& state) {
    searchBench(state, "終わりの印");
}

// 100,000 distinct values of kana, kanji, half-width kana and ASCII, 2 to 12 characters.
std::vector<std::string> japaneseValues() {
    const std::vector<std::string> alphabet = {
        "あ", "い", "う", "か", "が", "き", "さ", "し", "た", "だ", "な", "は", "ぱ", "ま", "や",
        "ら", "わ", "ん", "ア", "イ", "カ", "ガ", "キ", "サ", "シ", "タ", "ナ", "ハ", "パ", "マ",
        "ヤ", "ラ", "ン", "ー", "ァ", "ッ", "ｱ",  "ｶ",  "ｶﾞ", "ｻ",  "ﾀ",  "ﾊﾟ", "ｰ",  "日", "本",
        "語", "写", "真", "京", "都", "旅", "行", "A",  "b",  "C",  "x",  "1",  "2",  "-",  " "};
    std::mt19937 random(7);
    std::set<std::string> values;
    while (values.size() < 100000) {
        std::string value;
        const int length = 2 + static_cast<int>(random() % 11);
        for (int i = 0; i < length; ++i)
            value += alphabet[random() % alphabet.size()];
        values.insert(value);
    }
    std::vector<std::string> shuffled(values.begin(), values.end());
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    return shuffled;
}

void BM_SortJapaneseValues(benchmark::State& state) {
    const std::vector<std::string> values = japaneseValues();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = values;
        state.ResumeTiming();
        jtext::normalizedSort(copy, jtext::kNormAll);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
}

// The catalog's use: one pattern searched in each of many short item values.
void BM_SearchShortValues(benchmark::State& state) {
    const std::vector<std::string> values = japaneseValues();
    std::size_t bytes = 0;
    for (const std::string& value : values)
        bytes += value.size();
    for (auto _ : state) {
        int found = 0;
        for (const std::string& value : values)
            found += jtext::normalizedSearch(value, "京都x", jtext::kNormCase) >= 0;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * values.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

}  // namespace

BENCHMARK(BM_MemchrBase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchAsciiPattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchJapanesePattern)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchShortValues)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortJapaneseValues)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
