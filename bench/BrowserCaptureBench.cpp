// The browser capture: one capture (version query and page query) with no browser running, with Firefox
// ESR and with Chromium running under Xvfb on a fresh profile, and with a recorded Firefox session of
// 2,000 tabs. Each figure is the median of the repetitions.
#include <benchmark/benchmark.h>
#include <lz4.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <thread>

#include "CTestBrowser.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "platform/CBrowserCapture.h"

namespace {

bool captureOnce(std::string& url) {
    CLinuxBrowserTransport transport;
    CBrowserCapture capture(transport);
    std::string title;
    return capture.capture(url, title);
}

void captureLoop(benchmark::State& state, bool expected) {
    std::string url;
    for (auto _ : state) {
        if (captureOnce(url) != expected) {
            state.SkipWithError("the capture did not give the expected result");
            break;
        }
        benchmark::DoNotOptimize(url);
    }
}

void BM_CaptureNoBrowser(benchmark::State& state) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    captureLoop(state, false);
}

void BM_CaptureRunningBrowser(benchmark::State& state, CTestBrowser::Kind kind) {
    CTestBrowser browser(kind);
    const QString page = browser.writePage(QStringLiteral("page"), QStringLiteral("計測用のページ"));
    if (const QString error = browser.start(page); !error.isEmpty()) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    std::string url;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((!captureOnce(url) || url != page.toStdString()) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    if (url != page.toStdString()) {
        state.SkipWithError("the browser's session never showed the page");
        return;
    }
    captureLoop(state, true);
}

// A Firefox that has run for long: 2,000 tabs in 20 windows, each with 10 history entries.
void BM_CaptureLargeFirefoxSession(benchmark::State& state) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toUtf8());
    qunsetenv("DISPLAY");
    const QString profile = home.path() + "/.mozilla/firefox/big.default";
    QDir().mkpath(profile + "/sessionstore-backups");
    QFile ini(home.path() + "/.mozilla/firefox/profiles.ini");
    ini.open(QIODevice::WriteOnly);
    ini.write("[Profile0]\nName=big\nIsRelative=1\nPath=big.default\nDefault=1\n");
    ini.close();
    QFile::link(QStringLiteral("127.0.0.1:+%1").arg(::getpid()), profile + "/lock");

    QByteArray json = "{\"windows\":[";
    for (int w = 0; w < 20; ++w) {
        json += w ? ",{\"tabs\":[" : "{\"tabs\":[";
        for (int t = 0; t < 100; ++t) {
            json += t ? ",{\"entries\":[" : "{\"entries\":[";
            for (int e = 0; e < 10; ++e) {
                json += QStringLiteral("%1{\"url\":\"https://example.org/%2/%3/%4?q=%5\",\"title\":\"ページ %2-%3-%4\","
                                       "\"cacheKey\":0,\"ID\":%4,\"docshellUUID\":\"{0c5c6a1e-2b9a-4c4d-b3c1-7f0e%5}\","
                                       "\"triggeringPrincipal_base64\":\"{\\\"3\\\":{}}\",\"persist\":true}")
                            .arg(e ? "," : "").arg(w).arg(t).arg(e).arg(w * 1000 + t * 10 + e, 8, 10, QLatin1Char('0'))
                            .toUtf8();
            }
            json += "],\"index\":10,\"lastAccessed\":1700000000000,\"hidden\":false,\"attributes\":{}}";
        }
        json += "],\"selected\":50}";
    }
    json += "],\"selectedWindow\":3}";
    QByteArray block(LZ4_compressBound(static_cast<int>(json.size())), '\0');
    block.resize(LZ4_compress_default(json.constData(), block.data(), static_cast<int>(json.size()),
                                      static_cast<int>(block.size())));
    QByteArray file("mozLz40\0", 8);
    for (int i = 0; i < 4; ++i) {
        file += static_cast<char>((static_cast<quint32>(json.size()) >> (8 * i)) & 0xFF);
    }
    QFile store(profile + "/sessionstore-backups/recovery.jsonlz4");
    store.open(QIODevice::WriteOnly);
    store.write(file + block);
    store.close();
    state.counters["json_bytes"] = static_cast<double>(json.size());
    state.counters["file_bytes"] = static_cast<double>(file.size() + block.size());
    captureLoop(state, true);
}

}  // namespace

BENCHMARK(BM_CaptureNoBrowser)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_CaptureRunningBrowser, firefox, CTestBrowser::Kind::Firefox)
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(BM_CaptureRunningBrowser, chromium, CTestBrowser::Kind::Chromium)
    ->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_CaptureLargeFirefoxSession)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
