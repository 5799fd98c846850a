// "ブラウザから追加" while the browser has not yet saved the page it shows: the wait shows a progress dialog
// with "中止" after a second; ending it adds nothing and says nothing more, and a wait that runs out says
// why and adds nothing.

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <thread>

#include "CTestSession.h"
#include "catalog/CFileCatalog.h"
#include "dialogs/DialogDriver.h"
#include "gui/CCaptureWaitDialog.h"
#include "gui/CPageCapture.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "platform/CBrowserCapture.h"

namespace {

// A Firefox whose session never catches up: the page conversation waits for the limit, telling `wait`.
class CLaggingBrowser final : public CBrowserTransport {
public:
    explicit CLaggingBrowser(CCaptureWait& wait) : m_wait(wait) {}

    bool connect(const std::string& service, const std::string& topic) override {
        m_refusal = CaptureRefusal::None;
        if (service != "Firefox") {
            return false;
        }
        if (topic == CBrowserCapture::kVersionTopic) {
            return true;
        }
        using namespace std::chrono;
        const auto limit = milliseconds(1800);
        const auto start = steady_clock::now();
        m_refusal = CaptureRefusal::NotYetSaved;
        for (auto elapsed = 0ms; elapsed < limit;
             elapsed = duration_cast<milliseconds>(steady_clock::now() - start)) {
            if (!m_wait.waiting(elapsed, limit)) {
                m_refusal = CaptureRefusal::Cancelled;
                break;
            }
            std::this_thread::sleep_for(50ms);
        }
        m_wait.ended();
        return false;
    }
    std::optional<std::string> request(const std::string&, int) override { return std::string(4, '\0'); }
    void disconnect() override {}
    std::vector<CTopLevelWindow> topLevelWindows() override { return {}; }
    CaptureRefusal refusal() const override { return m_refusal; }

private:
    CCaptureWait& m_wait;
    CaptureRefusal m_refusal = CaptureRefusal::None;
};

}  // namespace

class BrowserCaptureWaitTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theWaitCanBeEndedAndARefusalIsExplained();
};

void BrowserCaptureWaitTest::theWaitCanBeEndedAndARefusalIsExplained() {
    CTestSession session;
    QVERIFY(session.start({session.writeCatalog(QStringLiteral("Web"), {QStringLiteral("種類")})}));
    CCaptureWaitDialog wait;
    CLaggingBrowser browser(wait);
    CBrowserCapture capture(browser);
    session.document().setBrowserCapture(&capture);

    // The user ends the wait with "中止" on the dialog that came up.
    QString shownText;
    whenShown<QProgressDialog>([&shownText](QProgressDialog& dialog) {
        shownText = dialog.labelText();
        auto* cancel = dialog.findChild<QPushButton*>();
        QVERIFY(cancel);
        QCOMPARE(cancel->text(), QStringLiteral("中止"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    const std::size_t said = session.ui().texts().size();
    QVERIFY(session.run(cmd::kAddFromBrowser));
    QVERIFY(!shownText.isEmpty());
    QCOMPARE(session.catalog().itemCount(), 0);
    QCOMPARE(session.ui().texts().size(), said);
    QVERIFY(!QApplication::activeModalWidget());

    // Left to run out: the user is told that the browser has not saved the page yet.
    QVERIFY(session.run(cmd::kAddFromBrowser));
    QCOMPARE(session.ui().texts().back(), std::string(CPageCapture::kNotYetSaved));
    QCOMPARE(session.catalog().itemCount(), 0);
    QVERIFY(!QApplication::activeModalWidget());
    session.document().setBrowserCapture(nullptr);
}

QTEST_MAIN(BrowserCaptureWaitTest)
#include "BrowserCaptureWaitTest.moc"
