// Reading and writing a catalog of 100,000 items (10 categories, 1 to 3 values each, paths of about 80
// bytes), against reading and writing the same number of bytes. Prints the ratios. The reads are measured
// again with the other core busy: a thread of the benchmark spins for as long as they run.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "bench/CLcg.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "catalogfile/CSafeFileWriter.h"

namespace {

constexpr int kItems = 100000;
constexpr int kCategories = 10;

std::unique_ptr<CFileCatalog> makeCatalog() {
    auto catalog = std::make_unique<CFileCatalog>();
    const char* names[kCategories] = {"ジャンル", "Artist", "年",   "Rating",  "場所",
                                      "Format",   "Tag",    "人物", "Project", "状態"};
    for (const char* name : names)
        catalog->addCategory(name);
    CLcg random(12345);
    std::vector<std::unique_ptr<CFileItem>> items;
    for (int i = 0; i < kItems; ++i) {
        auto item = catalog->newItem(false);
        char path[128];
        std::snprintf(path, sizeof path,
                      "/home/user/Documents/archive/folder%04u/subfolder%02u/document-%06d-%08x.pdf",
                      random.next() % 1000, random.next() % 100, i, random.next());
        item->setStoredPath(path);
        if (i % 5 == 0)
            item->setTitle("タイトル " + std::to_string(i));
        std::vector<std::string> values(kCategories);
        for (int c = 0; c < kCategories; ++c) {
            int count = 1 + static_cast<int>(random.next() % 3);
            for (int v = 0; v < count; ++v) {
                if (v > 0)
                    values[c] += ",";
                values[c] += (c % 2 == 0 ? "値" : "value") + std::to_string(random.next() % 60);
            }
        }
        item->setValueStrings(std::move(values));
        items.push_back(std::move(item));
    }
    catalog->setItems(std::move(items));
    return catalog;
}

struct Fixture {
    std::filesystem::path folder;
    std::string catalogPath;
    std::string bytesPath;
    std::unique_ptr<CFileCatalog> catalog;
    std::string bytes;

    Fixture() {
        folder = std::filesystem::temp_directory_path() / ("quillory-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        catalogPath = (folder / "bench.qlry").string();
        bytesPath = (folder / "bytes.bin").string();
        catalog = makeCatalog();
        bytes = CCatalogFile::serialize(*catalog, folder.string());
        CSafeFileWriter::write(catalogPath, bytes);
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// The bytes read again into the same buffer: the copy out of the page cache alone.
void BM_ReadFileBytes(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        CCatalogFile::readFileBytes(fixture().catalogPath, &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture().bytes.size()));
}

// The bytes read into new memory each time, kept until the end: what a program opening a file pays,
// including the first touch of every page.
void BM_ReadFileBytesIntoNewMemory(benchmark::State& state) {
    std::vector<std::string> kept;
    for (auto _ : state) {
        std::string bytes;
        CCatalogFile::readFileBytes(fixture().catalogPath, &bytes);
        benchmark::DoNotOptimize(bytes.data());
        kept.push_back(std::move(bytes));
    }
}

// Each catalog read stays alive until the end, so that every read allocates new memory, as a program
// opening its catalog does. Compared with BM_ReadFileBytesIntoNewMemory.
void BM_ReadCatalogIntoModel(benchmark::State& state) {
    std::vector<std::unique_ptr<CFileCatalog>> catalogs;
    for (auto _ : state) {
        auto catalog = std::make_unique<CFileCatalog>();
        if (CCatalogFile::read(*catalog, fixture().catalogPath, false))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(catalog->itemCount());
        catalogs.push_back(std::move(catalog));
    }
}  // the catalogs are freed after the timed loop

// Each catalog is freed (untimed) before the next read, which then reuses its memory, as opening one catalog
// after another does. Compared with BM_ReadFileBytes, which reuses its buffer the same way.
void BM_ReadCatalogIntoReusedMemory(benchmark::State& state) {
    std::unique_ptr<CFileCatalog> catalog;
    for (auto _ : state) {
        state.PauseTiming();
        catalog = std::make_unique<CFileCatalog>();
        state.ResumeTiming();
        if (CCatalogFile::read(*catalog, fixture().catalogPath, false))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(catalog->itemCount());
    }
}

// A loop on another thread that keeps a core busy while it lives.
class BusyCore final {
public:
    BusyCore()
        : m_thread([this] {
              unsigned long spins = 0;
              while (!m_stop.load(std::memory_order_relaxed)) {
                  benchmark::DoNotOptimize(++spins);
              }
          }) {}
    ~BusyCore() {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

void BM_ReadFileBytesIntoNewMemoryOtherCoreBusy(benchmark::State& state) {
    BusyCore busy;
    BM_ReadFileBytesIntoNewMemory(state);
}

void BM_ReadCatalogIntoModelOtherCoreBusy(benchmark::State& state) {
    BusyCore busy;
    BM_ReadCatalogIntoModel(state);
}

void BM_ReadFileBytesOtherCoreBusy(benchmark::State& state) {
    BusyCore busy;
    BM_ReadFileBytes(state);
}

void BM_ReadCatalogIntoReusedMemoryOtherCoreBusy(benchmark::State& state) {
    BusyCore busy;
    BM_ReadCatalogIntoReusedMemory(state);
}

// The drill-down after a read numbers every value on its first pass: the first recompute against a later one,
// both without file refresh and without sort keys, so that the drill-down is what they measure.
void BM_FirstRecomputeAfterRead(benchmark::State& state) {
    std::unique_ptr<CFileCatalog> catalog;
    for (auto _ : state) {
        state.PauseTiming();
        catalog = std::make_unique<CFileCatalog>();
        if (CCatalogFile::read(*catalog, fixture().catalogPath, false))
            state.SkipWithError("read failed");
        catalog->sortKeys().removeAll();
        state.ResumeTiming();
        catalog->recomputeWithoutRefresh();
        benchmark::DoNotOptimize(catalog->displayedCount());
    }
}

void BM_LaterRecompute(benchmark::State& state) {
    auto catalog = std::make_unique<CFileCatalog>();
    if (CCatalogFile::read(*catalog, fixture().catalogPath, false))
        state.SkipWithError("read failed");
    catalog->sortKeys().removeAll();
    catalog->recomputeWithoutRefresh();
    for (auto _ : state) {
        catalog->recomputeWithoutRefresh();
        benchmark::DoNotOptimize(catalog->displayedCount());
    }
}

void BM_WriteFileBytes(benchmark::State& state) {
    for (auto _ : state) {
        if (CSafeFileWriter::write(fixture().bytesPath, fixture().bytes))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture().bytes.size()));
}

void BM_WriteCatalogFromModel(benchmark::State& state) {
    for (auto _ : state) {
        if (CCatalogFile::write(*fixture().catalog, fixture().catalogPath))
            state.SkipWithError("write failed");
    }
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFileBytesIntoNewMemory)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_ReadCatalogIntoModel)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_ReadCatalogIntoReusedMemory)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ReadFileBytesIntoNewMemoryOtherCoreBusy)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_ReadCatalogIntoModelOtherCoreBusy)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(BM_ReadFileBytesOtherCoreBusy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadCatalogIntoReusedMemoryOtherCoreBusy)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FirstRecomputeAfterRead)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_LaterRecompute)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_WriteFileBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCatalogFromModel)->Unit(benchmark::kMillisecond);

// Keeps the mean real time of every benchmark to print the ratios after the table.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration)
                m_milliseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    double ms(const std::string& name) const {
        auto found = m_milliseconds.find(name);
        return found == m_milliseconds.end() ? 0.0 : found->second;
    }

private:
    std::map<std::string, double> m_milliseconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("catalog: %d items, %d categories, %zu bytes\n", kItems, kCategories, fixture().bytes.size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double readBytes = reporter.ms("BM_ReadFileBytes");
    const double readBytesNew = reporter.ms("BM_ReadFileBytesIntoNewMemory");
    const double readModel = reporter.ms("BM_ReadCatalogIntoModel");
    const double readModelReused = reporter.ms("BM_ReadCatalogIntoReusedMemory");
    const double writeBytes = reporter.ms("BM_WriteFileBytes");
    const double writeModel = reporter.ms("BM_WriteCatalogFromModel");
    auto ratio = [](const char* what, double model, double bytes) {
        if (model > 0 && bytes > 0)
            std::printf("%s %.2f ms with the model, %.2f ms the bytes alone: ratio %.1f (limit 20)\n", what,
                        model, bytes, model / bytes);
    };
    ratio("read into new memory:   ", readModel, readBytesNew);
    ratio("read into reused memory:", readModelReused, readBytes);
    ratio("read, other core busy:  ", reporter.ms("BM_ReadCatalogIntoModelOtherCoreBusy"),
          reporter.ms("BM_ReadFileBytesIntoNewMemoryOtherCoreBusy"));
    ratio("reused, other core busy:", reporter.ms("BM_ReadCatalogIntoReusedMemoryOtherCoreBusy"),
          reporter.ms("BM_ReadFileBytesOtherCoreBusy"));
    ratio("write:                  ", writeModel, writeBytes);
    std::printf("drill-down (recompute without refresh and sort): first after a read %.2f ms, later %.2f ms\n",
                reporter.ms("BM_FirstRecomputeAfterRead"), reporter.ms("BM_LaterRecompute"));
    benchmark::Shutdown();
    return 0;
}
