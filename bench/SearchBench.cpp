// The item search: a walk over 100,000 displayed items that finds nothing (name, path, memo and a
// category; text files excluded), against a plain byte search of the same fields; and the text-file
// content search over 1,000 cached text files of 100 KB each, against a plain read of the same files and
// `grep -F -r` over their folder, all in the same run.

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CLcg.h"
#include "catalog/CFileCatalog.h"
#include "model/CExtArray.h"
#include "search/CFileSearchCondition.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

constexpr int kItems = 100'000;
constexpr int kCategories = 5;
constexpr int kTextFiles = 1000;
constexpr std::size_t kTextFileBytes = 100 * 1024;
// Occurs in no name, path, memo, value or file of the benchmark.
constexpr const char* kMissing = "見当たらない語";

struct Data {
    std::string folder;
    CFileCatalog items;      // 100,000 items whose files do not exist
    CFileCatalog textFiles;  // 1,000 text files: half Shift-JIS, half ASCII
    std::uint64_t textBytes = 0;

    ~Data() {
        std::error_code error;
        fs::remove_all(folder, error);
    }
};

// A line of Japanese or ASCII text of about 80 bytes.
std::string textLine(CLcg& random, bool japanese) {
    static const char* const kWords[] = {"カタログ", "ファイル", "検索", "分類",
                                         "属性",     "一覧",     "表示", "保存"};
    static const char* const kAscii[] = {"catalog", "file", "search", "value",
                                         "item",    "list", "view",   "save"};
    std::string line;
    while (line.size() < 78) {
        line += japanese ? kWords[random.next() % 8] : kAscii[random.next() % 8];
        line += japanese ? "、" : " ";
    }
    return (japanese ? jtext::utf8ToCp932(line) : line) + "\r\n";
}

Data& data() {
    static std::unique_ptr<Data> instance = [] {
        auto d = std::make_unique<Data>();
        d->folder =
            (fs::temp_directory_path() / ("quillory-search-bench-" + std::to_string(::getpid()))).string();
        CLcg random(4711);

        d->items.setPath(d->folder + "/items/items.qlry");
        for (int c = 0; c < kCategories; ++c) {
            d->items.addCategory("分類" + std::to_string(c));
        }
        for (int i = 0; i < kItems; ++i) {
            auto item = d->items.newItem(false);
            const std::string name = "写真_" + std::to_string(i) + ".jpg";
            item->setStoredPath("/home/user/ピクチャ/" + std::to_string(i / 500) + "/" + name);
            item->setTitle(name);
            item->setMemo(i % 3 == 0 ? "旅行の写真、家族と一緒に " + std::to_string(random.next() % 1000)
                                     : "");
            std::vector<std::string> values;
            for (int c = 0; c < kCategories; ++c) {
                values.push_back("値" + std::to_string(random.next() % 200) + ",Value" +
                                 std::to_string(random.next() % 50));
            }
            item->setValueStrings(std::move(values));
            // The files do not exist, so no refresh names the items: they get their names here.
            item->setDisplayName(name);
            d->items.addItem(std::move(item));
        }
        d->items.setWatchFiles(false);
        d->items.recomputeWithoutRefresh();

        const std::string textFolder = d->folder + "/texts";
        fs::create_directories(textFolder);
        d->textFiles.setPath(d->folder + "/texts.qlry");
        for (int i = 0; i < kTextFiles; ++i) {
            const bool japanese = i % 2 == 0;
            std::string contents;
            while (contents.size() < kTextFileBytes) {
                contents += textLine(random, japanese);
            }
            contents.resize(kTextFileBytes);
            const std::string path = textFolder + "/text" + std::to_string(i) + ".txt";
            std::ofstream(path, std::ios::binary) << contents;
            d->textBytes += contents.size();
            auto item = d->textFiles.newItem(false);
            item->setStoredPath(path);
            item->setTitle("text" + std::to_string(i) + ".txt");
            d->textFiles.addItem(std::move(item));
        }
        d->textFiles.setWatchFiles(false);
        d->textFiles.recompute();  // the refresh names the items, and so gives them their extension
        return d;
    }();
    return *instance;
}

// The machine is shared: besides the wall time, the processor time of this process and of its children
// (grep) tells what each search costs.
struct Sample {
    double wallMs = 0;
    double cpuMs = 0;
};

double cpuMilliseconds() {
    rusage self{};
    rusage children{};
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1000.0 + t.tv_usec / 1000.0; };
    return ms(self.ru_utime) + ms(self.ru_stime) + ms(children.ru_utime) + ms(children.ru_stime);
}

Sample median(const std::function<void()>& run, int times) {
    std::vector<double> walls;
    std::vector<double> cpus;
    for (int i = 0; i < times; ++i) {
        const double cpuStart = cpuMilliseconds();
        const auto start = std::chrono::steady_clock::now();
        run();
        walls.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        cpus.push_back(cpuMilliseconds() - cpuStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

int itemSearch() {
    CFileSearchCondition condition;
    condition.text = kMissing;
    condition.setTargetBits(CFileSearchCondition::kInName | CFileSearchCondition::kInPath |
                            CFileSearchCondition::kInMemo | CFileSearchCondition::kInCategory);
    condition.category = 2;
    return data().items.findForward(0, condition);
}

// The reference: a byte-exact find of the text in the same four fields of every item.
int plainFieldSearch() {
    const CFileCatalog& catalog = data().items;
    for (int i = 0; i < catalog.displayedCount(); ++i) {
        const CFileItem& item = *catalog.displayedItem(i);
        if (item.displayName().find(kMissing) != std::string::npos ||
            item.path().find(kMissing) != std::string::npos ||
            item.memo().find(kMissing) != std::string::npos ||
            item.valueString(2).find(kMissing) != std::string_view::npos) {
            return i;
        }
    }
    return -1;
}

int contentSearch() {
    CFileSearchCondition condition;
    condition.text = kMissing;
    condition.setTargetBits(CFileSearchCondition::kInTextFile);
    return data().textFiles.findForward(0, condition);
}

// The reference: every file read once in 64 KB blocks.
std::uint64_t plainRead() {
    std::uint64_t total = 0;
    std::vector<char> block(64 * 1024);
    for (int i = 0; i < data().textFiles.displayedCount(); ++i) {
        std::FILE* file = std::fopen(std::string(data().textFiles.displayedItem(i)->path()).c_str(), "rb");
        if (!file) {
            continue;
        }
        std::size_t got = 0;
        while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
            total += got;
        }
        std::fclose(file);
    }
    return total;
}

void grepFolder() {
    const std::string command =
        std::string("grep -F -r -q '") + jtext::utf8ToCp932(kMissing) + "' '" + data().folder + "/texts'";
    benchmark::DoNotOptimize(std::system(command.c_str()));
}

void BM_ItemSearchWithoutHit(benchmark::State& state) {
    data();
    for (auto _ : state) {
        if (itemSearch() != -1) {
            state.SkipWithError("the item search found the missing text");
        }
    }
    state.counters["items"] = data().items.displayedCount();
}
BENCHMARK(BM_ItemSearchWithoutHit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Ours and the plain byte search in the same run, medians of 11 each.
void BM_ItemSearchVersusPlainFind(benchmark::State& state) {
    data();
    for (auto _ : state) {
        const Sample ours = median([] { benchmark::DoNotOptimize(itemSearch()); }, 11);
        const Sample plain = median([] { benchmark::DoNotOptimize(plainFieldSearch()); }, 11);
        state.counters["ours_ms"] = ours.wallMs;
        state.counters["ours_cpu_ms"] = ours.cpuMs;
        state.counters["plain_find_ms"] = plain.wallMs;
        state.counters["plain_find_cpu_ms"] = plain.cpuMs;
    }
}
BENCHMARK(BM_ItemSearchVersusPlainFind)->Unit(benchmark::kMillisecond)->Iterations(1);

// The files are read once before timing, so that all three runs find them cached. Rates in MB of file
// data per second of wall time and of processor time.
void BM_ContentSearchVersusReadAndGrep(benchmark::State& state) {
    data();
    benchmark::DoNotOptimize(plainRead());
    const double megabytes = static_cast<double>(data().textBytes) / 1e6;
    for (auto _ : state) {
        const Sample ours = median(
            [] {
                if (contentSearch() != -1) {
                    std::fprintf(stderr, "the content search found the missing text\n");
                }
            },
            5);
        const Sample read = median([] { benchmark::DoNotOptimize(plainRead()); }, 5);
        const Sample grep = median(grepFolder, 5);
        auto rate = [megabytes](double ms) { return megabytes / (ms / 1000.0); };
        state.counters["ours_MB_per_s"] = rate(ours.wallMs);
        state.counters["ours_cpu_MB_per_s"] = rate(ours.cpuMs);
        state.counters["plain_read_MB_per_s"] = rate(read.wallMs);
        state.counters["plain_read_cpu_MB_per_s"] = rate(read.cpuMs);
        state.counters["grep_MB_per_s"] = rate(grep.wallMs);
        state.counters["grep_cpu_MB_per_s"] = rate(grep.cpuMs);
    }
    state.counters["files"] = data().textFiles.displayedCount();
}
BENCHMARK(BM_ContentSearchVersusReadAndGrep)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
