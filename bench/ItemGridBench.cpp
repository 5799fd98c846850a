// The item list on a catalog of 100,000 items (10 categories of about 1,000 values, 1 to 3 values per
// item), on the offscreen platform: opening the catalog to the first painted grid, against loading the
// catalog file alone in the same run; a recompute of all items followed by the rows' rebuild and repaint;
// and an in-place edit committed (undo point, value, recompute, list refresh) to the repainted grid. The
// recompute and the edit run twice: on a catalog whose files do not exist (argument 0) and on one whose files
// do (argument 1, 100,000 empty files in 977 folders).

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QPixmap>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bench/CLcg.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "grid/CUGEdit.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "platform/CMemoryProfile.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

constexpr int kItems = 100000;
constexpr int kCategories = 10;
constexpr int kValuesPerCategory = 1000;
const QSize kWindow(1200, 800);

std::filesystem::path benchFolder() {
    static const auto folder =
        std::filesystem::temp_directory_path() / ("quillory-itemgrid-" + std::to_string(::getpid()));
    return folder;
}

// The catalog file, written once per run into a temporary folder; with realFiles, its items' files are
// made too.
std::string writeCatalog(bool realFiles) {
    const auto folder = benchFolder() / (realFiles ? "real" : "missing");
    std::filesystem::create_directories(folder);
    CFileCatalog catalog;
    for (int c = 0; c < kCategories; ++c) {
        catalog.addCategory("分類" + std::to_string(c));
    }
    CLcg random(15);
    std::vector<std::unique_ptr<CFileItem>> items;
    for (int i = 0; i < kItems; ++i) {
        auto item = catalog.newItem(false);
        const std::string base = realFiles ? (folder / "写真").string() : std::string("/home/user/写真");
        const std::string photoFolder = base + "/" + std::to_string(i % 977);
        const std::string path = photoFolder + "/IMG_" + std::to_string(i) + ".jpg";
        if (realFiles) {
            std::filesystem::create_directories(photoFolder);
            std::ofstream(path) << "jpeg";
        }
        item->setStoredPath(path);
        item->setTitle("写真 IMG_" + std::to_string(i) + ".jpg");
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
    const std::string file = (folder / "bench.qlry").string();
    if (CCatalogFile::write(catalog, file)) {
        std::abort();
    }
    return file;
}

const std::string& catalogPath(bool realFiles = false) {
    static const std::string missing = writeCatalog(false);
    if (!realFiles) {
        return missing;
    }
    static const std::string real = writeCatalog(true);
    return real;
}

void paint(QWidget& widget) {
    QPixmap pixmap = widget.grab();
    benchmark::DoNotOptimize(pixmap);
}

// A document with its item list, wired as the main frame wires them: the list refresh that the grid posts
// after an edit comes back as hint 2.
struct ItemList {
    CMemoryProfile profile;
    CQuilloryDoc document{profile};
    CFileListView view{document, nullptr};

    ItemList() {
        QObject::connect(&view, &CFileListView::commandRequested, &document, [this](int id) {
            if (id == cmd::kRefreshList) {
                document.updateAllViews(nullptr, hint::kListRefresh);
            }
        }, Qt::QueuedConnection);
        view.resize(kWindow);
        view.show();
    }
};

void BM_LoadCatalogFileOnly(benchmark::State& state) {
    catalogPath();
    for (auto _ : state) {
        CFileCatalog catalog;
        benchmark::DoNotOptimize(CCatalogFile::read(catalog, catalogPath()));
    }
}

void BM_OpenToFirstPaintedGrid(benchmark::State& state) {
    catalogPath();
    for (auto _ : state) {
        ItemList list;
        list.document.onOpenDocument(QString::fromStdString(catalogPath()));
        paint(list.view);
        state.PauseTiming();
        if (list.view.grid().numberRows() != kItems) {
            state.SkipWithError("the grid does not show every item");
        }
        state.ResumeTiming();
    }
}

void BM_RecomputeAllToRepaintedGrid(benchmark::State& state) {
    ItemList list;
    list.document.onOpenDocument(QString::fromStdString(catalogPath(state.range(0) != 0)));
    paint(list.view);
    for (auto _ : state) {
        list.document.finishChange(hint::kListRefresh);
        paint(list.view);
    }
}

// The two halves of the above: the catalog's recompute alone, and the rows' rebuild with its repaint alone.
void BM_RecomputeOnly(benchmark::State& state) {
    ItemList list;
    list.document.onOpenDocument(QString::fromStdString(catalogPath(state.range(0) != 0)));
    for (auto _ : state) {
        list.document.catalog().recompute();
    }
}

void BM_RebuildRowsToRepaintedGrid(benchmark::State& state) {
    ItemList list;
    list.document.onOpenDocument(QString::fromStdString(catalogPath()));
    paint(list.view);
    for (auto _ : state) {
        list.view.onUpdate(nullptr, hint::kListRefresh);
        paint(list.view);
    }
}

// The columns' rebuild with every column fitted over all rows, and its repaint.
void BM_RebuildColumnsToRepaintedGrid(benchmark::State& state) {
    ItemList list;
    list.document.onOpenDocument(QString::fromStdString(catalogPath()));
    paint(list.view);
    for (auto _ : state) {
        list.view.onUpdate(nullptr, hint::kCategories);
        paint(list.view);
    }
}

void BM_EditCommittedToRepaintedGrid(benchmark::State& state) {
    ItemList list;
    list.document.onOpenDocument(QString::fromStdString(catalogPath(state.range(0) != 0)));
    paint(list.view);
    MyCug& grid = list.view.grid();
    const int col = grid.firstCategoryColumn() + 2;
    int n = 0;
    for (auto _ : state) {
        grid.gotoCell(col, n % 20);
        grid.startEdit();
        grid.editWindow()->setText(QStringLiteral("値%1").arg(n++ % kValuesPerCategory));
        grid.finishEdit(false, 0, 0, false);
        // The posted list refresh, then its rebuild.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        paint(list.view);
    }
}

// The resident memory of the process in MB, after giving freed memory back to the system.
double residentMB() {
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// What the loaded catalog alone adds to the process, and what the document with both views, opened and
// painted, adds. The views' own memory is the difference. Run each in a process of its own
// (--benchmark_filter=Memory/0, then Memory/1), so that neither finds memory the other freed.
void BM_Memory(benchmark::State& state) {
    catalogPath();
    const double before = residentMB();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            CFileCatalog catalog;
            CCatalogFile::read(catalog, catalogPath());
            catalog.recompute();
            state.counters["added_MB"] = residentMB() - before;
        } else {
            ItemList list;
            CCategoryView pane(list.document, nullptr);
            pane.resize(260, 600);
            pane.show();
            list.document.onOpenDocument(QString::fromStdString(catalogPath()));
            paint(list.view);
            paint(pane);
            state.counters["added_MB"] = residentMB() - before;
        }
    }
}

}  // namespace

BENCHMARK(BM_LoadCatalogFileOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_OpenToFirstPaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_RecomputeAllToRepaintedGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_RecomputeOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_RebuildRowsToRepaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_RebuildColumnsToRepaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_EditCommittedToRepaintedGrid)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_Memory)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(benchFolder());
    return 0;
}
