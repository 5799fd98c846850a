// The filter dialog on a catalog of 100,000 items (10 categories of about 1,000 values, 1 to 3 values an
// item, dates spread over twenty years), on the offscreen platform: a filter of three conditions (name,
// category, date) applied from the dialog's "実行(&X)" to the repainted grid. In the same run, for
// reference: the same list refreshed without a filter to the repainted grid, and the three conditions
// applied by the core alone.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/CLcg.h"
#include "commands/CFilterSortCommands.h"
#include "dialogs/CFilterDlg.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CCatalogFile.h"
#include "model/CExtArray.h"
#include "model/CFileCatalog.h"
#include "model/CFileItem.h"
#include "platform/CMemoryProfile.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

constexpr int kItems = 100000;
constexpr int kCategories = 10;
constexpr int kValuesPerCategory = 1000;
const QSize kWindow(1200, 800);

const std::string& catalogPath() {
    static const std::string path = [] {
        const auto folder =
            std::filesystem::temp_directory_path() / ("quillory-filterdlg-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        CFileCatalog catalog;
        for (int c = 0; c < kCategories; ++c) {
            catalog.addCategory("分類" + std::to_string(c));
        }
        CLcg random(15);
        std::vector<std::unique_ptr<CFileItem>> items;
        for (int i = 0; i < kItems; ++i) {
            auto item = catalog.newItem(false);
            item->setStoredPath("/home/user/写真/" + std::to_string(i % 977) + "/IMG_" + std::to_string(i) + ".jpg");
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
    }();
    return path;
}

void paint(QWidget& widget) {
    QPixmap pixmap = widget.grab();
    benchmark::DoNotOptimize(pixmap);
}

// A document with its item list and the filter command, the catalog open, every item dated (the files do
// not exist, so the dates stay as given), and three conditions: the name holds "IMG_1", 分類0 holds "値1",
// dated 2015/1/1 or later.
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
        const COleDate first = COleDate::fromUnixTime(946684800);  // 2000/1/1
        for (int i = 0; i < catalog.itemCount(); ++i) {
            catalog.item(i).setDate(COleDate(first.value() + (i * 7919 % 7300), COleDate::Status::Valid));
        }
        catalog.filters().append(CItemFilter(CItemFilter::kTargetName, "IMG_1", 0));
        catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory, "値1", 0));
        catalog.filters().append(CItemFilter(CItemFilter::kTargetDate, "2015/1/1", 0));
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

BENCHMARK(BM_FilterRunToRepaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9)->UseManualTime();
BENCHMARK(BM_UnfilteredRefreshToRepaintedGrid)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);
BENCHMARK(BM_ConditionsInTheCoreOnly)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::path(catalogPath()).parent_path());
    return 0;
}
