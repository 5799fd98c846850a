// The preview pane's browser on the offscreen platform: a generated page, a folder, the location check that
// keeps a shown document from loading again, and letting go of the document.

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "preview/CPreviewPages.h"
#include "preview/CWebBrowser.h"
#include "support/CTempFolder.h"

namespace {

constexpr int kLoadTimeoutMs = 60000;

// Navigates and waits until the page has loaded; false when it did not load.
bool navigateAndWait(CWebBrowser& browser, const QString& address) {
    QSignalSpy finished(&browser, &CWebBrowser::loadFinished);
    browser.navigate(address);
    return finished.wait(kLoadTimeoutMs) && finished.constFirst().constFirst().toBool();
}

// The text the page shows.
QString pageText(CWebBrowser& browser) {
    QString text;
    bool done = false;
    browser.view()->page()->toPlainText([&](const QString& result) {
        text = result;
        done = true;
    });
    for (int waited = 0; !done && waited < kLoadTimeoutMs; waited += 10) {
        QTest::qWait(10);
    }
    return text;
}

}  // namespace

class WebBrowserTest final : public QObject {
    Q_OBJECT

private:
    CTempFolder m_temp;

private Q_SLOTS:
    void initTestCase() { qputenv("TMPDIR", QByteArray::fromStdString(m_temp.path())); }

    void showsGeneratedPagesAndFolders() {
        CWebBrowser browser;
        browser.resize(640, 480);
        browser.show();
        QCOMPARE(browser.accessibleName(), QStringLiteral("ブラウザ"));
        QVERIFY(browser.view() == nullptr);  // no web engine until something is shown
        browser.releaseDocument();
        QVERIFY(browser.view() == nullptr);
        QVERIFY(browser.locationUrl().isEmpty());

        const QString movie = QString::fromStdString(m_temp.write("a <b> & c.exe", "MZ"));
        QString error;
        QSignalSpy started(&browser, &CWebBrowser::loadStarted);
        QSignalSpy titles(&browser, &CWebBrowser::titleChanged);
        const QString page = CPreviewPages::writeFileInfoPage(movie, QStringLiteral("exe ファイル"), &error);
        QVERIFY(navigateAndWait(browser, page));
        QCOMPARE(started.count(), 1);
        QCOMPARE(browser.locationUrl(), QUrl::fromLocalFile(page).toString());
        QCOMPARE(browser.pageTitle(), QStringLiteral("exe ファイル"));
        QVERIFY(!titles.isEmpty() && titles.constLast().constFirst().toString() == QStringLiteral("exe ファイル"));
        QString text = pageText(browser);
        QVERIFY2(text.contains(QStringLiteral("ファイル名：") + movie), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("サイズ：2バイト")));

        // The same page file with other contents is shown again, not kept from the first time.
        CPreviewPages::writeFileInfoPage(movie, QStringLiteral("バイナリファイル"), &error);
        QVERIFY(navigateAndWait(browser, page));
        QCOMPARE(browser.pageTitle(), QStringLiteral("バイナリファイル"));

        // A folder shows a listing of what it holds.
        const QString folder = QString::fromStdString(m_temp.makeFolder("shown #folder"));
        m_temp.write("shown #folder/first.txt", "1");
        m_temp.write("shown #folder/二番目.txt", "2");
        QVERIFY(navigateAndWait(browser, folder));
        QCOMPARE(QUrl(browser.locationUrl()).toLocalFile(), folder + u'/');
        text = pageText(browser);
        QVERIFY2(text.contains(QStringLiteral("first.txt")) && text.contains(QStringLiteral("二番目.txt")),
                 qPrintable(text));

        // Navigating to what is shown does not load it again.
        const int loads = browser.loadCount();
        started.clear();
        browser.navigate(folder + u'/');
        browser.navigate(QUrl::fromLocalFile(folder).toString() + u'/');
        QTest::qWait(200);
        QCOMPARE(browser.loadCount(), loads);
        QCOMPARE(started.count(), 0);

        browser.releaseDocument();
        QTRY_COMPARE_WITH_TIMEOUT(browser.locationUrl(), QStringLiteral("about:blank"), kLoadTimeoutMs);
    }

    void addressesBecomeUrls() {
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("/tmp/a #1%.html")), QUrl::fromLocalFile(QStringLiteral("/tmp/a #1%.html")));
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("https://example.com/x?y#z")), QUrl(QStringLiteral("https://example.com/x?y#z")));
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("example.com")), QUrl(QStringLiteral("http://example.com")));
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("localhost:8080/x")).host(), QStringLiteral("localhost"));
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("ABOUT:BLANK")), QUrl(QStringLiteral("about:blank")));
        QCOMPARE(CWebBrowser::urlOf(QString()), QUrl(QStringLiteral("about:blank")));
        QCOMPARE(CWebBrowser::urlOf(QStringLiteral("/tmp/name ending in a blank ")).toLocalFile(),
                 QStringLiteral("/tmp/name ending in a blank "));
    }
};

QTEST_MAIN(WebBrowserTest)
#include "WebBrowserTest.moc"
