// The capture against real browsers: Firefox ESR and Chromium under Xvfb, each with a fresh profile on
// local pages with Japanese titles.

#include <QTest>
#include <chrono>
#include <thread>

#include "CTestBrowser.h"
#include "desktop/CChromiumSessionReader.h"
#include "desktop/CFirefoxSessionReader.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "platform/CBrowserCapture.h"

namespace {

struct Captured {
    bool ok = false;
    QString url;
    QString title;
};

Captured captureOnce() {
    CLinuxBrowserTransport transport;
    CBrowserCapture capture(transport);
    std::string url;
    std::string title;
    Captured result;
    result.ok = capture.capture(url, title);
    result.url = QString::fromStdString(url);
    result.title = QString::fromStdString(title);
    return result;
}

// Captures until the browser's session shows `url` (it writes the session file some time after the page
// loads), for at most 30 seconds; the last capture either way.
Captured captureWhenShown(const QString& url) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    Captured result = captureOnce();
    while (result.url != url && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        result = captureOnce();
    }
    return result;
}

}  // namespace

class RealBrowserTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void capturesTheSelectedTabOfFirefox();
    void capturesTheSelectedTabOfChromium();

private:
    void capturesTheSelectedTab(CTestBrowser::Kind kind);
};

void RealBrowserTest::capturesTheSelectedTab(CTestBrowser::Kind kind) {
    CTestBrowser browser(kind);
    const QString first = browser.writePage(QStringLiteral("first"), QStringLiteral("日本語のページ「テスト」"));
    const QString second = browser.writePage(QStringLiteral("second"), QStringLiteral("二番目のタブ"));

    // Nothing runs yet: a clear failure, not a page.
    QCOMPARE(captureOnce().ok, false);

    const QString error = browser.start(first);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    Captured shown = captureWhenShown(first);
    QVERIFY(shown.ok);
    QCOMPARE(shown.url, first);
    QCOMPARE(shown.title, QStringLiteral("日本語のページ「テスト」"));

    const QString tabError = browser.openTab(second);
    QVERIFY2(tabError.isEmpty(), qPrintable(tabError));
    shown = captureWhenShown(second);
    QCOMPARE(shown.url, second);
    QCOMPARE(shown.title, QStringLiteral("二番目のタブ"));

    // The session itself has both tabs, the new one selected: the capture took the selection, not the
    // last tab by chance.
    CSessionError sessionError;
    const auto session = kind == CTestBrowser::Kind::Firefox
                             ? CFirefoxSessionReader::readProfile(browser.profile().toStdString(), &sessionError)
                             : CChromiumSessionReader::readProfile(browser.profile().toStdString(), &sessionError);
    QVERIFY2(session, sessionError.message().c_str());
    QCOMPARE(session->windows().size(), std::size_t{1});
    QCOMPARE(session->windows()[0].tabs.size(), std::size_t{2});
    QCOMPARE(session->shownTab()->url, second.toStdString());

    // Once the browser has quit, its session no longer answers.
    browser.stop();
    QCOMPARE(captureOnce().ok, false);
}

void RealBrowserTest::capturesTheSelectedTabOfFirefox() { capturesTheSelectedTab(CTestBrowser::Kind::Firefox); }

void RealBrowserTest::capturesTheSelectedTabOfChromium() { capturesTheSelectedTab(CTestBrowser::Kind::Chromium); }

QTEST_GUILESS_MAIN(RealBrowserTest)
#include "RealBrowserTest.moc"
