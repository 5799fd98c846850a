// The filter dialog on a catalog of 100,000 items (10 categories of about 1,000 values, 1 to 3 values an
// item, a real file each, dated up to twenty years back), on the offscreen platform: a filter of three
// conditions (name, category, date) applied from the dialog's "実行(&X)" to the repainted grid. In the same
// run, for reference: the same list refreshed without a filter to the repainted grid; and the parts: the
// catalog's recompute with the filter, and the three conditions applied by the core alone.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/CLcg.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "commands/CFilterSortCommands.h"
#include "dialogs/CFilterDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CExtArray.h"
#include "model/CFileItem.h"
#include "platform/CMemoryProfile.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

constexpr int kItems = 100000;
constexpr int kCategories = 10;
constexpr int kValuesPerCategory = 1000;
const QSize kWindow(1200, 800);

// The catalog file and its 100,000 files (1,000 a folder, dated one to twenty years back), made once per
// run in a temporary folder. The items keep their paths, not shortcuts, as a catalog of that size would.
const std::string& catalogPath() {
    static const std::string path = [] {
        namespace fs = std::filesystem;
        const fs::path folder =
            fs::temp_directory_path() / ("quillory-filterdlg-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        CFileCatalog catalog;
        catalog.setPath((folder / "bench.qlry").string());
        catalog.setUseShortcuts(false);
        for (int c = 0; c < kCategories; ++c) {
            catalog.addCategory("分類" + std::to_string(c));
        }
        CLcg random(15);
        const auto now = fs::file_time_type::clock::now();
        std::vector<std::unique_ptr<CFileItem>> items;
        for (int i = 0; i < kItems; ++i) {
            const fs::path subfolder = folder / "files" / std::to_string(i / 1000);
            if (i % 1000 == 0) {
                fs::create_directories(subfolder);
            }
            const fs::path file = subfolder / ("IMG_" + std::to_string(i) + ".jpg");
            std::ofstream(file).put('x');
            fs::last_write_time(file, now - std::chrono::hours(24 * (1 + i * 7919 % 7300)));
            auto item = catalog.newItem(false);
            item->setStoredPath(file.string());
            std::vector<std::string> values(kCategories);
            for (int c = 0; c < kCategories; ++c) {
                const int count = 1 + static_cast<int>(random.next() % 3);
                for (int v = 0; v < count; ++v) {
                    values[static_cast<std::size_t>(c)] += (v ? "," : "") + std::string("値") +
                                                           std::to_string(random.next() % kValuesPerCategory);
                }
            }
            item->setValueStrings(values);
            items.push_back(std::move(item));
        }
        catalog.setItems(std::move(items));
        if (CCatalogFile::write(catalog, catalog.path())) {
            std::abort();
        }
        return catalog.path();
    }();
    return path;
}

void paint(QWidget& widget) {
    QPixmap pixmap = widget.grab();
    benchmark::DoNotOptimize(pixmap);
}

// A document with its item list and the filter command, the catalog open, and three conditions: the name
// holds "IMG_1", 分類0 holds "値1", dated ten years back or later.
struct FilteredList {
    CMemoryProfile profile;
    CQuilloryDoc document{profile};
    CFileListView view{document, nullptr};
    CFilterSortCommands commands{document};

    FilteredList() {
        view.resize(kWindow);
        view.show();
        document.onOpenDocument(QString::fromStdString(catalogPath()));
        CFileCatalog& catalog = document.catalog();
        const QString tenYearsBack = QDate::currentDate().addYears(-10).toString(QStringLiteral("yyyy/M/d"));
        catalog.filters().append(CItemFilter(CItemFilter::kTargetName, "IMG_1", 0));
        catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory, "値1", 0));
        catalog.filters().append(CItemFilter(CItemFilter::kTargetDate, tenYearsBack.toStdString(), 0));
        catalog.recompute();
        view.onUpdate(nullptr, hint::kUndoRedo);
        paint(view);
    }
};

// Clicks "実行(&X)" as soon as the filter dialog is up and notes when.
void clickRunWhenShown(std::chrono::steady_clock::time_point* clicked) {
    auto* timer = new QTimer;
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, clicked] {
        auto* dialog = qobject_cast<CFilterDlg*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        *clicked = std::chrono::steady_clock::now();
        dialog->findChild<QAbstractButton*>(QStringLiteral("runButton"))->click();
    });
    timer->start();
}

void BM_FilterRunToRepaintedGrid(benchmark::State& state) {
    FilteredList list;
    for (auto _ : state) {
        list.document.catalog().setFilterOn(false);
        std::chrono::steady_clock::time_point clicked;
        clickRunWhenShown(&clicked);
        list.commands.onCommand(cmd::kFilterSettings);
        paint(list.view);
        const auto done = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(done - clicked).count());
    }
    state.counters["rows"] = list.view.grid().numberRows();
}

// Reference: the same list refreshed without a filter (every item displayed) to the repainted grid.
void BM_UnfilteredRefreshToRepaintedGrid(benchmark::State& state) {
    FilteredList list;
    list.document.catalog().setFilterOn(false);
    for (auto _ : state) {
        list.document.catalog().recompute();
        list.view.onUpdate(nullptr, hint::kSortOrFilterChanged);
        paint(list.view);
    }
    state.counters["rows"] = list.view.grid().numberRows();
}

// The catalog's part of the run: drill-down, refresh, the three conditions and the sort.
void BM_FilteredRecomputeOnly(benchmark::State& state) {
    FilteredList list;
    CFileCatalog& catalog = list.document.catalog();
    catalog.setFilterOn(true);
    for (auto _ : state) {
        catalog.recompute();
    }
    state.counters["rows"] = catalog.displayedCount();
}

// The three conditions over every item, in the core alone.
void BM_ConditionsInTheCoreOnly(benchmark::State& state) {
    FilteredList list;
    const CFileCatalog& catalog = list.document.catalog();
    std::vector<CFileItem*> all;
    for (const auto& item : catalog.items()) {
        all.push_back(item.get());
    }
    std::size_t kept = 0;
    for (auto _ : state) {
        std::vector<CFileItem*> items = all;
        catalog.filters().apply(items, &CExtArray::textFiles());
        kept = items.size();
    }
    state.counters["rows"] = static_cast<double>(kept);
}

}  // namespace

BENCHMARK(BM_FilterRunToRepaintedGrid)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->UseManualTime();
BENCHMARK(BM_UnfilteredRefreshToRepaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_FilteredRecomputeOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_ConditionsInTheCoreOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::path(catalogPath()).parent_path());
    return 0;
}
