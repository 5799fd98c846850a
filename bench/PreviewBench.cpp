// Moving to the next item of the grid until the preview shows its text, in the whole program on the
// offscreen platform: a 1 MB and a 100 KB Shift-JIS text with CR LF line ends (two files of each size, the
// grid moving between them). The reference, in the same run, is a bare QTextEdit given the same text
// already decoded: what any Qt editor pays to show it, without reading, detecting or converting the file.
// In browser mode, moving to a folder and to a web address (a local file:// page, so that the network
// plays no part) until the web view starts loading. Each figure is the median of its repetitions.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QTextEdit>

#include <functional>
#include <memory>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "preview/CREditCtrl.h"
#include "preview/CTextView.h"
#include "preview/CWebBrowser.h"
#include "support/CTempFolder.h"
#include "text/JapaneseCode.h"
#include "text/TextCodec.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

const char* const kSentences[] = {"吾輩は猫である。名前はまだ無い。", "どこで生れたかとんと見当がつかぬ。",
                                  "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。",
                                  "The quick brown fox jumps over the lazy dog 0123456789.",
                                  "表示、能力、ソフト、十分（全角）ｶﾀｶﾅ"};

std::string shiftJisText(std::size_t bytes) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) {
        std::string line;
        jtext::encodeText(std::to_string(i) + " " + kSentences[i % 5] + kSentences[(i + 2) % 5],
                          jtext::kCodeShiftJis, line);
        text += line + "\r\n";
    }
    return text;
}

// The program, started once on a catalog of four texts (1 MB, 1 MB, 100 KB, 100 KB), two folders and two
// web addresses.
struct Program {
    CTempFolder folder;
    CTestSession session;
    std::string big = shiftJisText(1024 * 1024);
    std::string small = shiftJisText(100 * 1024);

    Program() {
        CFileCatalog catalog;
        CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Bench");
        catalog.addCategory("種類");
        for (const auto& [name, text] : {std::pair("a.txt", &big), std::pair("b.txt", &big),
                                         std::pair("c.txt", &small), std::pair("d.txt", &small)}) {
            auto item = catalog.newItem(false);
            item->setPath(folder.write(name, *text), catalog.catalogFolder(), false);
            catalog.addItem(std::move(item));
        }
        for (int i = 0; i < 2; ++i) {
            auto folderItem = catalog.newItem(false);
            folderItem->setPath(folder.makeFolder("folder" + std::to_string(i)), catalog.catalogFolder(), false);
            catalog.addItem(std::move(folderItem));
            const std::string page = "page" + std::to_string(i) + ".html";
            auto address = catalog.newItem(false);
            address->setPath("file://" + folder.write(page, "<html><title>" + page + "</title>ok</html>"),
                             catalog.catalogFolder(), false);
            catalog.addItem(std::move(address));
        }
        const std::string path = catalog.path();
        CCatalogFile::write(catalog, path);
        session.start({QString::fromStdString(path)});
        session.frame().resize(1200, 800);
        session.frame().show();
    }
};

std::unique_ptr<Program> gProgram;

Program& program() {
    if (!gProgram) {
        gProgram = std::make_unique<Program>();
    }
    return *gProgram;
}

// The displayed item with the display name.
const CFileItem* itemNamed(const char* name) {
    for (const CFileItem* item : program().session.catalog().displayedItems()) {
        if (item->displayName() == name) {
            return item;
        }
    }
    return nullptr;
}

void moveBetween(benchmark::State& state, const char* first, const char* second) {
    Program& p = program();
    CFileListView& list = *p.session.frame().fileListView();
    CTextView& pane = *p.session.frame().textView();
    const CFileItem* items[] = {itemNamed(first), itemNamed(second)};
    int next = 0;
    list.setCurrentItem(items[next]);
    for (auto _ : state) {
        next = 1 - next;
        list.setCurrentItem(items[next]);
        pane.repaint();  // until the text is on the screen
        QCoreApplication::processEvents();
    }
    if (!pane.editor() || pane.editor()->toPlainText().isEmpty()) {
        state.SkipWithError("the preview shows no text");
    }
}

// The displayed items of the kind, in grid order.
std::vector<const CFileItem*> itemsOf(ItemKind kind) {
    std::vector<const CFileItem*> items;
    for (const CFileItem* item : program().session.catalog().displayedItems()) {
        if (item->kind() == kind) {
            items.push_back(item);
        }
    }
    return items;
}

// Runs the event loop until the browser sends the signal (at most ten seconds).
template <typename Signal>
void waitFor(CWebBrowser& browser, Signal signal, const std::function<void()>& start) {
    QEventLoop loop;
    QObject::connect(&browser, signal, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    start();
    loop.exec();
}

// The web benchmarks run last: browser mode stays on.
void untilLoadStarts(benchmark::State& state, ItemKind kind) {
    Program& p = program();
    CFileListView& list = *p.session.frame().fileListView();
    CTextView& pane = *p.session.frame().textView();
    if (!pane.browserMode()) {
        p.session.run(cmd::kBrowserMode);
    }
    const std::vector<const CFileItem*> items = itemsOf(kind);
    std::size_t next = 0;
    waitFor(*pane.browser(), &CWebBrowser::loadFinished, [&] { list.setCurrentItem(items[next]); });
    for (auto _ : state) {
        next = (next + 1) % items.size();
        waitFor(*pane.browser(), &CWebBrowser::loadStarted, [&] { list.setCurrentItem(items[next]); });
        state.PauseTiming();  // the page loads to its end before the next move
        waitFor(*pane.browser(), &CWebBrowser::loadFinished, [] {});
        state.ResumeTiming();
    }
}

void BM_NextItem_FolderUntilLoadStarts(benchmark::State& state) {
    untilLoadStarts(state, ItemKind::Folder);
}

void BM_NextItem_UrlUntilLoadStarts(benchmark::State& state) {
    untilLoadStarts(state, ItemKind::Url);
}

void BM_NextItem_ShiftJis1MB(benchmark::State& state) {
    moveBetween(state, "a.txt", "b.txt");
}

void BM_NextItem_ShiftJis100KB(benchmark::State& state) {
    moveBetween(state, "c.txt", "d.txt");
}

void reference(benchmark::State& state, const std::string& shiftJis) {
    const std::string utf8 = jtext::decodeText(shiftJis, jtext::kCodeShiftJis);
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    QTextEdit editor;
    editor.resize(1200, 400);
    editor.show();
    for (auto _ : state) {
        editor.setPlainText(text);
        editor.repaint();
        QCoreApplication::processEvents();
    }
}

void BM_Reference_QTextEdit1MB(benchmark::State& state) {
    reference(state, program().big);
}

void BM_Reference_QTextEdit100KB(benchmark::State& state) {
    reference(state, program().small);
}

}  // namespace

BENCHMARK(BM_NextItem_ShiftJis1MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();
BENCHMARK(BM_Reference_QTextEdit1MB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();
BENCHMARK(BM_NextItem_ShiftJis100KB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();
BENCHMARK(BM_Reference_QTextEdit100KB)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();
BENCHMARK(BM_NextItem_FolderUntilLoadStarts)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();
BENCHMARK(BM_NextItem_UrlUntilLoadStarts)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(21)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gProgram.reset();  // the program ends before the application object
    return 0;
}
