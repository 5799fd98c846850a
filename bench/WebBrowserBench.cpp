// The preview browser: time from navigate() until the web view starts loading, for a folder and for a URL
// (a local file:// page stands in for a web address, so the network plays no part), with the view already
// made, and for the first navigation of a new browser, which creates the web view. The reference, in the
// same run, is a bare QWebEngineView loading the same URLs.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebEngineView>

#include <memory>

#include "preview/CWebBrowser.h"

namespace {

QTemporaryDir* gFolder = nullptr;

QString folderPath(int which) {
    return gFolder->path() + QStringLiteral("/folder%1").arg(which);
}

QString pagePath(int which) {
    return gFolder->path() + QStringLiteral("/page%1.html").arg(which);
}

void makeFixtures() {
    for (int which = 0; which < 2; ++which) {
        QDir().mkpath(folderPath(which));
        for (int file = 0; file < 200; ++file) {
            QFile(folderPath(which) + QStringLiteral("/file%1.txt").arg(file)).open(QIODevice::WriteOnly);
        }
        QFile page(pagePath(which));
        page.open(QIODevice::WriteOnly);
        page.write("<html><head><title>page</title></head><body>" + QByteArray(20000, 'x') + "</body></html>");
    }
}

// Runs `start` and returns the seconds until `started` turns true; then lets the load finish.
template <typename Start>
double timeUntilStarted(Start start, const bool& started, const bool& finished) {
    QElapsedTimer timer;
    timer.start();
    start();
    while (!started) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    while (!finished) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return seconds;
}

void runBrowser(benchmark::State& state, bool folder) {
    CWebBrowser browser;
    browser.resize(800, 600);
    browser.show();
    bool started = false;
    bool finished = false;
    QObject::connect(&browser, &CWebBrowser::loadStarted, [&] { started = true; });
    QObject::connect(&browser, &CWebBrowser::loadFinished, [&] { finished = true; });
    int which = 0;
    for (auto _ : state) {
        started = finished = false;
        const QString target = folder ? folderPath(which) : QUrl::fromLocalFile(pagePath(which)).toString();
        state.SetIterationTime(timeUntilStarted([&] { browser.navigate(target); }, started, finished));
        which ^= 1;
    }
}

void runReference(benchmark::State& state, bool folder) {
    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    bool started = false;
    bool finished = false;
    QObject::connect(&view, &QWebEngineView::loadStarted, [&] { started = true; });
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { finished = true; });
    int which = 0;
    for (auto _ : state) {
        started = finished = false;
        const QUrl url = QUrl::fromLocalFile(folder ? folderPath(which) + u'/' : pagePath(which));
        state.SetIterationTime(timeUntilStarted([&] { view.load(url); }, started, finished));
        which ^= 1;
    }
}

void BM_Folder_Browser(benchmark::State& state) { runBrowser(state, true); }
void BM_Folder_Reference(benchmark::State& state) { runReference(state, true); }
void BM_Url_Browser(benchmark::State& state) { runBrowser(state, false); }
void BM_Url_Reference(benchmark::State& state) { runReference(state, false); }

// A new browser each time: the first navigation creates the web view.
void BM_FirstFolder_Browser(benchmark::State& state) {
    for (auto _ : state) {
        auto browser = std::make_unique<CWebBrowser>();
        browser->resize(800, 600);
        browser->show();
        bool started = false;
        bool finished = false;
        QObject::connect(browser.get(), &CWebBrowser::loadStarted, [&] { started = true; });
        QObject::connect(browser.get(), &CWebBrowser::loadFinished, [&] { finished = true; });
        state.SetIterationTime(timeUntilStarted([&] { browser->navigate(folderPath(0)); }, started, finished));
    }
}

}  // namespace

BENCHMARK(BM_Folder_Browser)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_Folder_Reference)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_Url_Browser)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_Url_Reference)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);
BENCHMARK(BM_FirstFolder_Browser)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QTemporaryDir folder;
    gFolder = &folder;
    makeFixtures();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
