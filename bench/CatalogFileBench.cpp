// Reading and writing a catalog of 100,000 items (10 categories, 1 to 3 values each, paths of about 80
// bytes), against reading and writing the same number of bytes. Prints the two ratios.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "model/CCatalogFile.h"
#include "model/CFileCatalog.h"
#include "model/CSafeFileWriter.h"

namespace {

constexpr int kItems = 100000;
constexpr int kCategories = 10;

// A small deterministic generator, so every run measures the same catalog.
class Lcg final {
public:
    std::uint32_t next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }

private:
    std::uint32_t m_state = 12345;
};

std::unique_ptr<CFileCatalog> makeCatalog() {
    auto catalog = std::make_unique<CFileCatalog>();
    const char* names[kCategories] = {"ジャンル", "Artist", "年",   "Rating",  "場所",
                                      "Format",   "Tag",    "人物", "Project", "状態"};
    for (const char* name : names)
        catalog->addCategory(name);
    Lcg random;
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

void BM_ReadFileBytes(benchmark::State& state) {
    std::string bytes;
    for (auto _ : state) {
        CCatalogFile::readFileBytes(fixture().catalogPath, &bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture().bytes.size()));
}

// Each catalog read stays alive until the end, so that every read allocates from a heap like that of a
// program opening its catalog, not from the ruins of the previous 100,000 items.
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
BENCHMARK(BM_ReadCatalogIntoModel)->Unit(benchmark::kMillisecond)->Iterations(4);
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
    double readBytes = reporter.ms("BM_ReadFileBytes");
    double readModel = reporter.ms("BM_ReadCatalogIntoModel");
    double writeBytes = reporter.ms("BM_WriteFileBytes");
    double writeModel = reporter.ms("BM_WriteCatalogFromModel");
    if (readBytes > 0 && writeBytes > 0) {
        std::printf("read:  %.2f ms into the model, %.2f ms the bytes alone: ratio %.1f (limit 20)\n",
                    readModel, readBytes, readModel / readBytes);
        std::printf("write: %.2f ms from the model, %.2f ms the bytes alone: ratio %.1f (limit 20)\n",
                    writeModel, writeBytes, writeModel / writeBytes);
    }
    benchmark::Shutdown();
    return 0;
}
