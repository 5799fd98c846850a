// The capture against real browsers, started the way a user starts them: Firefox ESR and Chromium on a
// private desktop (Xvfb, openbox, a session bus), each making its own profile, on local pages with
// Japanese titles; new tabs opened by starting the browser again with the page. Whatever the moment, the
// capture gives the page shown with its own title, or a refusal; never one page's address with another's
// title, and never the browser's first-run page.

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <chrono>

#include "CTestBrowser.h"
#include "desktop/CBrowserHostInstaller.h"
#include "desktop/CBrowserHostState.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "platform/CBrowserCapture.h"
#include "platform/CCaptureWait.h"

namespace {

// Counts the session path's waiting.
class CCountedWait final : public CCaptureWait {
public:
    int calls = 0;
    bool waiting(std::chrono::milliseconds, std::chrono::milliseconds) override {
        ++calls;
        return true;
    }
    void ended() override {}
};

struct Captured {
    bool ok = false;
    QString url;
    QString title;
    CaptureRefusal refusal = CaptureRefusal::None;
    qint64 ms = 0;    // how long the capture took
    bool waited = false;  // the session path waited for the browser
    QString reason;       // why there was no page
};

Captured captureOnce() {
    CCountedWait wait;
    CLinuxBrowserTransport transport;
    transport.setWait(&wait);
    CBrowserCapture capture(transport);
    std::string url;
    std::string title;
    QElapsedTimer clock;
    clock.start();
    Captured result;
    result.ok = capture.capture(url, title);
    result.ms = clock.elapsed();
    result.url = QString::fromStdString(url);
    result.title = QString::fromStdString(title);
    result.refusal = capture.refusal();
    result.waited = wait.calls > 0;
    result.reason = QString::fromStdString(capture.failureReason());
    return result;
}

QString describe(const Captured& result) {
    return QStringLiteral("ok=%1 url=%2 title=%3 refusal=%4 after %5 ms (%6)")
        .arg(result.ok)
        .arg(result.url, result.title)
        .arg(static_cast<int>(result.refusal))
        .arg(result.ms)
        .arg(result.reason);
}

// The capture gave the page `url` titled `title`, or refused; nothing else.
bool pageOrRefusal(const Captured& result, const QString& url, const QString& title) {
    return result.ok ? result.url == url && result.title == title
                     : result.refusal == CaptureRefusal::NotYetSaved;
}

// Captures until the page `url` comes back, for at most `seconds`; the last capture either way.
Captured captureUntil(const QString& url, int seconds) {
    QElapsedTimer clock;
    clock.start();
    Captured result = captureOnce();
    while (result.url != url && clock.elapsed() < seconds * 1000) {
        QThread::msleep(300);
        result = captureOnce();
    }
    return result;
}

const char* kindName(CTestBrowser::Kind kind) { return kind == CTestBrowser::Kind::Firefox ? "Firefox" : "Chromium"; }

}  // namespace

class RealBrowserTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firefoxWithoutTheExtension() { withoutTheExtension(CTestBrowser::Kind::Firefox); }
    void chromiumWithoutTheExtension() { withoutTheExtension(CTestBrowser::Kind::Chromium); }
    void firefoxWithTheExtension() { withTheExtension(CTestBrowser::Kind::Firefox); }
    void chromiumWithTheExtension() { withTheExtension(CTestBrowser::Kind::Chromium); }

private:
    void withoutTheExtension(CTestBrowser::Kind kind);
    void withTheExtension(CTestBrowser::Kind kind);
};

void RealBrowserTest::withoutTheExtension(CTestBrowser::Kind kind) {
    CTestBrowser browser(kind);
    const QString first = browser.writePage(QStringLiteral("first"), QStringLiteral("日本語のページ「テスト」"));
    const QString second = browser.writePage(QStringLiteral("second"), QStringLiteral("二番目のタブ"));

    // Nothing runs yet: a clear failure, not a page.
    QCOMPARE(captureOnce().ok, false);

    const QString error = browser.start(first);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Right after the start: the page shown or the refusal, never the first-run page.
    Captured shown = captureOnce();
    QVERIFY2(pageOrRefusal(shown, first, QStringLiteral("日本語のページ「テスト」")), qPrintable(describe(shown)));

    shown = captureUntil(first, 60);
    QVERIFY2(shown.ok && shown.title == QStringLiteral("日本語のページ「テスト」"), qPrintable(describe(shown)));

    // The user opens B; three seconds later the capture gives B with B's title (it may wait for the browser
    // to write it down) or refuses; never A's address with B's title.
    const QString tabError = browser.openTab(second);
    QVERIFY2(tabError.isEmpty(), qPrintable(tabError));
    QThread::msleep(3000);
    shown = captureOnce();
    qInfo("%s without the extension, 3 s after the new tab: %s", kindName(kind), qPrintable(describe(shown)));
    QVERIFY2(pageOrRefusal(shown, second, QStringLiteral("二番目のタブ")), qPrintable(describe(shown)));
    shown = captureUntil(second, 60);
    QVERIFY2(shown.ok && shown.title == QStringLiteral("二番目のタブ"), qPrintable(describe(shown)));

    // Once the browser has quit, its session no longer answers.
    browser.stop();
    QCOMPARE(captureOnce().ok, false);
}

void RealBrowserTest::withTheExtension(CTestBrowser::Kind kind) {
    CTestBrowser browser(kind);
    const QString first = browser.writePage(QStringLiteral("first"), QStringLiteral("拡張機能のページ"));
    const QString second = browser.writePage(QStringLiteral("second"), QStringLiteral("新しいタブ"));
    const QString secret = browser.writePage(QStringLiteral("secret"), QStringLiteral("秘密のページ"));
    browser.installExtension(QStringLiteral(QUILLORY_BUILD_DIR "/browser-extension"),
                             QString::fromStdString(CBrowserHostInstaller::hostPath()));
    const QString error = browser.start(first);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    Captured shown = captureOnce();
    QVERIFY2(pageOrRefusal(shown, first, QStringLiteral("拡張機能のページ")), qPrintable(describe(shown)));
    // The extension reports once it runs: from then on the capture does not wait.
    QElapsedTimer clock;
    clock.start();
    do {
        QThread::msleep(300);
        shown = captureOnce();
    } while ((shown.waited || shown.url != first) && clock.elapsed() < 60000);
    QVERIFY2(shown.ok && shown.url == first && shown.title == QStringLiteral("拡張機能のページ"),
             qPrintable(describe(shown)));
    if (shown.waited && kind == CTestBrowser::Kind::Chromium) {
        // Chromium on a loaded machine has been seen not to start an unpacked extension's worker at all;
        // the capture above still gave the right page through the session.
        QSKIP("Chromium did not run the unpacked extension within 60 s");
    }
    QVERIFY2(!shown.waited, qPrintable(describe(shown)));

    // B opened the user's way: three seconds later B with B's title, without waiting for the session.
    const QString tabError = browser.openTab(second);
    QVERIFY2(tabError.isEmpty(), qPrintable(tabError));
    QThread::msleep(3000);
    shown = captureOnce();
    qInfo("%s with the extension, 3 s after the new tab: %s", kindName(kind), qPrintable(describe(shown)));
    QVERIFY2(shown.ok && !shown.waited, qPrintable(describe(shown)));
    QCOMPARE(shown.url, second);
    QCOMPARE(shown.title, QStringLiteral("新しいタブ"));

    // A tab switch is reported at once, and the capture follows it.
    const QString switchError = browser.switchTab();
    QVERIFY2(switchError.isEmpty(), qPrintable(switchError));
    clock.restart();
    shown = captureOnce();
    while ((!shown.ok || shown.url == second) && clock.elapsed() < 5000) {
        shown = captureOnce();
    }
    qInfo("%s with the extension, tab switch to capture: %lld ms", kindName(kind),
          static_cast<long long>(clock.elapsed()));
    QVERIFY2(shown.ok && shown.url != second && !shown.waited, qPrintable(describe(shown)));
    QVERIFY2(shown.url == first || shown.url.startsWith(QStringLiteral("http")), qPrintable(describe(shown)));

    // A private window is never taken for the page shown.
    const QString privateError = browser.openPrivateWindow(secret);
    QVERIFY2(privateError.isEmpty(), qPrintable(privateError));
    clock.restart();
    while (!browser.activeWindowTitle().contains(QStringLiteral("秘密のページ")) && clock.elapsed() < 20000) {
        QThread::msleep(200);
    }
    shown = captureOnce();
    qInfo("%s private window: %s", kindName(kind), qPrintable(describe(shown)));
    QVERIFY2(!shown.ok && shown.url.isEmpty(), qPrintable(describe(shown)));
    QVERIFY(shown.refusal == CaptureRefusal::PrivateWindow || shown.refusal == CaptureRefusal::NotYetSaved);

    browser.stop();
    QCOMPARE(captureOnce().ok, false);
}

QTEST_GUILESS_MAIN(RealBrowserTest)
#include "RealBrowserTest.moc"
