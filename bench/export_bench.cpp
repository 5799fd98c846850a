// Exporting 100,000 displayed items to XML and to CSV, each against writing the same number of bytes to
// the same folder with one write call (open, write, close). Each is timed in nine repetitions; the ratios
// of the medians are printed at the end.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>

#include "catalog/CFileCatalog.h"
#include "export/CFileItemCSVExport.h"
#include "export/CFileItemXMLExport.h"

namespace fs = std::filesystem;

namespace {

constexpr int kItems = 100000;

fs::path outputFolder() {
    static const fs::path folder = [] {
        std::random_device random;
        fs::path path = fs::temp_directory_path() / ("quillory-export-bench-" + std::to_string(random()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// A catalog like a large real one: Japanese paths and titles, memos, three categories with values.
const CFileCatalog& catalog() {
    static const CFileCatalog* const instance = [] {
        auto* built = new CFileCatalog;
        built->addCategory("ジャンル");
        built->addCategory("作者");
        built->addCategory("状態");
        for (int i = 0; i < kItems; ++i) {
            auto item = built->newItem(false);
            const std::string number = std::to_string(i);
            item->setStoredPath("/home/user/文書/プロジェクト" + std::to_string(i % 100) + "/資料-" + number +
                                ".pdf");
            item->setTitle(i % 3 == 0 ? "" : "資料 " + number + " の概要");
            item->setMemo(i % 4 == 0 ? "打ち合わせの記録と次回までの課題 & 宿題" : "");
            item->setValueString(0, i % 2 == 0 ? "仕事,会議" : "趣味");
            item->setValueString(1, "著者" + std::to_string(i % 50));
            item->setValueString(2, i % 5 == 0 ? "" : "完了");
            item->setDate(COleDate(45000.0 + i / 100.0, COleDate::Status::Valid));
            item->setDisplayName(item->title().empty() ? "資料-" + number + ".pdf" : item->title());
            built->addItem(std::move(item));
        }
        built->recomputeWithoutRefresh();
        return built;
    }();
    return *instance;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of one export, made once, for the plain-write baselines.
const std::string& exportedBytes(bool xml) {
    static std::map<bool, std::string> bytes;
    if (!bytes.contains(xml)) {
        const fs::path path = outputFolder() / "sample.out";
        if (xml) {
            CFileItemXMLExport(catalog()).exportToFile(path.string());
        } else {
            CFileItemCSVExport(catalog()).exportToFile(path.string());
        }
        bytes[xml] = readFile(path);
    }
    return bytes[xml];
}

void BM_ExportXml(benchmark::State& state) {
    const std::string path = (outputFolder() / "items.xml").string();
    const CFileCatalog& items = catalog();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CFileItemXMLExport(items).exportToFile(path));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

void BM_ExportCsv(benchmark::State& state) {
    const std::string path = (outputFolder() / "items.csv").string();
    const CFileCatalog& items = catalog();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CFileItemCSVExport(items).exportToFile(path));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}

void writeOnce(benchmark::State& state, const std::string& bytes, const char* name) {
    const std::string path = (outputFolder() / name).string();
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_WriteXmlBytesOnce(benchmark::State& state) {
    writeOnce(state, exportedBytes(true), "plain.xml");
}
void BM_WriteCsvBytesOnce(benchmark::State& state) {
    writeOnce(state, exportedBytes(false), "plain.csv");
}

BENCHMARK(BM_ExportXml)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteXmlBytesOnce)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_WriteCsvBytesOnce)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

// Prints the usual table, then each export's median wall time as a multiple of its plain write's.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                m_seconds[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        printRatio("XML", "BM_ExportXml", "BM_WriteXmlBytesOnce");
        printRatio("CSV", "BM_ExportCsv", "BM_WriteCsvBytesOnce");
    }

private:
    void printRatio(const char* format, const std::string& exportName, const std::string& writeName) const {
        if (m_seconds.contains(exportName) && m_seconds.contains(writeName)) {
            std::printf("%s export of %d items: median %.1f ms, %.2f times one write call of the same bytes "
                        "(%.1f ms)\n",
                        format, kItems, m_seconds.at(exportName), m_seconds.at(exportName) / m_seconds.at(writeName),
                        m_seconds.at(writeName));
        }
    }

    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(outputFolder(), ignored);
    return 0;
}
