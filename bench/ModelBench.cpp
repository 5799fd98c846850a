// The catalog model on 100,000 items whose files exist: the recompute of a two-level drill-down (with and
// without reading the file system), the same drill-down done by SQLite on an indexed in-memory database,
// and undo points (time to record one, memory of 100 after 100 single-value edits).

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalog/CUndoHistory.h"

namespace fs = std::filesystem;

namespace {

constexpr int kItems = 100'000;
constexpr int kCategories = 10;
constexpr int kValuesPerCategory = 1000;

struct Data {
    std::string folder;
    CFileCatalog catalog;
    std::string firstValue;
    std::string secondValue;
    sqlite3* db = nullptr;

    ~Data() {
        sqlite3_close(db);
        std::error_code error;
        fs::remove_all(folder, error);
    }
};

std::string valueName(int category, int value) {
    return "c" + std::to_string(category) + "-" + std::to_string(value);
}

void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", message);
        sqlite3_free(message);
        std::abort();
    }
}

void buildSqlite(Data& data) {
    sqlite3_open(":memory:", &data.db);
    exec(data.db,
         "CREATE TABLE items(id INTEGER PRIMARY KEY, name TEXT);"
         "CREATE TABLE item_values(item INTEGER, cat INTEGER, value TEXT);");
    exec(data.db, "BEGIN");
    sqlite3_stmt* item = nullptr;
    sqlite3_stmt* value = nullptr;
    sqlite3_prepare_v2(data.db, "INSERT INTO items VALUES(?, ?)", -1, &item, nullptr);
    sqlite3_prepare_v2(data.db, "INSERT INTO item_values VALUES(?, ?, ?)", -1, &value, nullptr);
    for (int i = 0; i < data.catalog.itemCount(); ++i) {
        const CFileItem& source = data.catalog.item(i);
        sqlite3_bind_int(item, 1, i);
        sqlite3_bind_text(item, 2, source.title().data(), static_cast<int>(source.title().size()),
                          SQLITE_TRANSIENT);
        sqlite3_step(item);
        sqlite3_reset(item);
        for (int c = 0; c < kCategories; ++c) {
            for (const std::string& text : source.valuesOf(c)) {
                sqlite3_bind_int(value, 1, i);
                sqlite3_bind_int(value, 2, c);
                sqlite3_bind_text(value, 3, text.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_step(value);
                sqlite3_reset(value);
            }
        }
    }
    sqlite3_finalize(item);
    sqlite3_finalize(value);
    exec(data.db, "COMMIT");
    exec(data.db,
         "CREATE INDEX by_value ON item_values(cat, value, item);"
         "CREATE INDEX by_item ON item_values(item, cat, value);"
         "CREATE INDEX by_name ON items(name);");
}

Data& data() {
    static std::unique_ptr<Data> instance = [] {
        auto d = std::make_unique<Data>();
        d->folder = (fs::temp_directory_path() / ("quillory-bench-" + std::to_string(::getpid()))).string();
        std::mt19937 random(12345);
        CFileCatalog& catalog = d->catalog;
        catalog.setPath(d->folder + "/cat/cat.qlry");
        fs::create_directories(d->folder + "/cat");
        for (int c = 0; c < kCategories; ++c) {
            catalog.addCategory("Category " + std::to_string(c));
        }
        for (int i = 0; i < kItems; ++i) {
            const std::string sub = d->folder + "/files/" + std::to_string(i / 1000);
            if (i % 1000 == 0) {
                fs::create_directories(sub);
            }
            const std::string path = sub + "/file" + std::to_string(i) + ".txt";
            std::ofstream(path) << i;
            auto item = catalog.newItem(false);
            item->setStoredPath(path);
            item->setTitle("file" + std::to_string(i) + ".txt");
            std::vector<std::string> values;
            for (int c = 0; c < kCategories; ++c) {
                const int count = 1 + static_cast<int>(random() % 3);
                std::vector<std::string> pieces;
                for (int k = 0; k < count; ++k) {
                    pieces.push_back(valueName(c, static_cast<int>(random() % kValuesPerCategory)));
                }
                std::sort(pieces.begin(), pieces.end());
                pieces.erase(std::unique(pieces.begin(), pieces.end()), pieces.end());
                values.push_back(CFileItem::joinValues(pieces));
            }
            item->setValueStrings(std::move(values));
            catalog.addItem(std::move(item));
        }
        // One value selected in each of the first two categories, both offered by the drill-down.
        d->firstValue = catalog.item(0).valuesOf(0).front();
        d->secondValue = catalog.item(0).valuesOf(1).front();
        catalog.recompute();
        catalog.setSelection(0, {d->firstValue});
        catalog.setSelection(1, {d->secondValue});
        catalog.recompute();
        buildSqlite(*d);
        return d;
    }();
    return *instance;
}

void recomputeOnce(bool refresh) {
    CFileCatalog& catalog = data().catalog;
    catalog.setSelection(0, {data().firstValue});
    catalog.setSelection(1, {data().secondValue});
    if (refresh) {
        catalog.recompute();
    } else {
        catalog.recomputeWithoutRefresh();
    }
    benchmark::DoNotOptimize(catalog.displayedCount());
}

// The same drill-down in SQL: the values offered by every category (sorted), the displayed items by name.
std::size_t sqliteDrillDown() {
    sqlite3* db = data().db;
    std::size_t rows = 0;
    auto collect = [&](const char* sql, const std::vector<std::string>& parameters) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1, SQLITE_STATIC);
        }
        std::vector<std::string> out;
        while (sqlite3_step(statement) == SQLITE_ROW) {
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        }
        sqlite3_finalize(statement);
        rows += out.size();
        return out;
    };
    const std::string& first = data().firstValue;
    const std::string& second = data().secondValue;
    collect("SELECT DISTINCT value FROM item_values WHERE cat = 0 ORDER BY value", {});
    collect(
        "SELECT DISTINCT value FROM item_values WHERE cat = 1 AND item IN "
        "(SELECT item FROM item_values WHERE cat = 0 AND value = ?1) ORDER BY value",
        {first});
    const char* narrowed =
        "SELECT DISTINCT value FROM item_values WHERE cat = ?3 AND item IN "
        "(SELECT item FROM item_values WHERE cat = 0 AND value = ?1 INTERSECT "
        " SELECT item FROM item_values WHERE cat = 1 AND value = ?2) ORDER BY value";
    for (int c = 2; c < kCategories; ++c) {
        collect(narrowed, {first, second, std::to_string(c)});
    }
    collect(
        "SELECT name FROM items WHERE id IN "
        "(SELECT item FROM item_values WHERE cat = 0 AND value = ?1 INTERSECT "
        " SELECT item FROM item_values WHERE cat = 1 AND value = ?2) ORDER BY name",
        {first, second});
    return rows;
}

double medianMilliseconds(const std::function<void()>& run, int times) {
    std::vector<double> samples;
    for (int i = 0; i < times; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        samples.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double residentMegabytes() {
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

void BM_RecomputeWithRefresh(benchmark::State& state) {
    data();
    for (auto _ : state) {
        recomputeOnce(true);
    }
    state.counters["displayed"] = data().catalog.displayedCount();
}
BENCHMARK(BM_RecomputeWithRefresh)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_RecomputeWithoutRefresh(benchmark::State& state) {
    data();
    for (auto _ : state) {
        recomputeOnce(false);
    }
}
BENCHMARK(BM_RecomputeWithoutRefresh)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// No selection: every item is displayed and sorted by name.
void BM_RecomputeAllItemsWithoutRefresh(benchmark::State& state) {
    CFileCatalog& catalog = data().catalog;
    for (auto _ : state) {
        catalog.setSelection(0, {});
        catalog.setSelection(1, {});
        catalog.recomputeWithoutRefresh();
        benchmark::DoNotOptimize(catalog.displayedCount());
    }
    state.counters["displayed"] = catalog.displayedCount();
}
BENCHMARK(BM_RecomputeAllItemsWithoutRefresh)->Unit(benchmark::kMillisecond)->Iterations(3);

// No selection, refresh included, default sort keys: the grid of an opened catalog, and every click on "全て".
// The first recompute reads every file and places the watches; later ones read only what changed.
void BM_RecomputeAllItemsWithRefresh(benchmark::State& state) {
    CFileCatalog& catalog = data().catalog;
    catalog.setSelection(0, {});
    catalog.setSelection(1, {});
    catalog.recompute();
    for (auto _ : state) {
        catalog.setSelection(0, {});
        catalog.setSelection(1, {});
        catalog.recompute();
        benchmark::DoNotOptimize(catalog.displayedCount());
    }
    state.counters["displayed"] = catalog.displayedCount();
}
BENCHMARK(BM_RecomputeAllItemsWithRefresh)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The same after the refresh command: every file read again, as at opening.
void BM_RecomputeAllItemsFullRefresh(benchmark::State& state) {
    CFileCatalog& catalog = data().catalog;
    for (auto _ : state) {
        catalog.setSelection(0, {});
        catalog.setSelection(1, {});
        catalog.forgetFileState();
        catalog.recompute();
        benchmark::DoNotOptimize(catalog.displayedCount());
    }
}
BENCHMARK(BM_RecomputeAllItemsFullRefresh)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

void BM_SqliteDrillDown(benchmark::State& state) {
    data();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sqliteDrillDown());
    }
}
BENCHMARK(BM_SqliteDrillDown)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Both drill-downs in the same run, medians of 11 each, and their ratio.
void BM_RecomputeVersusSqlite(benchmark::State& state) {
    data();
    for (auto _ : state) {
        const double ours = medianMilliseconds([] { recomputeOnce(false); }, 11);
        const double sqlite = medianMilliseconds([] { benchmark::DoNotOptimize(sqliteDrillDown()); }, 11);
        state.counters["ours_ms"] = ours;
        state.counters["sqlite_ms"] = sqlite;
        state.counters["ratio"] = ours / sqlite;
    }
}
BENCHMARK(BM_RecomputeVersusSqlite)->Iterations(1)->Unit(benchmark::kMillisecond);

// Recording one undo point on the catalog, then editing one value (as every command does).
void BM_RecordUndoPoint(benchmark::State& state) {
    CFileCatalog& catalog = data().catalog;
    CUndoHistory history;
    std::mt19937 random(7);
    int edit = 0;
    for (auto _ : state) {
        history.recordCatalog(catalog);
        state.PauseTiming();
        catalog.item(static_cast<int>(random() % kItems)).setValueString(2, "edit " + std::to_string(edit++));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RecordUndoPoint)->Unit(benchmark::kMillisecond)->Iterations(200);

// Memory of 100 undo points after 100 single-value edits: the growth of the resident set.
void BM_UndoHistoryMemory(benchmark::State& state) {
    CFileCatalog& catalog = data().catalog;
    for (auto _ : state) {
        const double before = residentMegabytes();
        auto history = std::make_unique<CUndoHistory>();
        std::mt19937 random(99);
        for (int change = 0; change < 100; ++change) {
            history->recordCatalog(catalog);
            catalog.item(static_cast<int>(random() % kItems))
                .setValueString(3, "change " + std::to_string(change));
        }
        state.counters["units"] = history->count();
        state.counters["rss_growth_MB"] = residentMegabytes() - before;
    }
}
BENCHMARK(BM_UndoHistoryMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
