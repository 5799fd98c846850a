// The capture pairs an address only with the title of the same page. A Firefox stands in: its profile
// locked by this process, its session store written by the test, and its window a real X11 window on a
// private Xvfb whose title the test changes the way Firefox does when the user opens another page.

#include <unistd.h>
#include <xcb/xcb.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <cstring>
#include <memory>

#include "SessionTestFiles.h"
#include "desktop/CBrowserHostState.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "platform/CBrowserCapture.h"
#include "platform/CCaptureWait.h"

namespace {

using sessiontest::mozLz4;
using sessiontest::writeFile;

// A top-level window of "Firefox": its class, its process (this one) and a title that can change.
class CFakeBrowserWindow final {
public:
    CFakeBrowserWindow() {
        m_connection = xcb_connect(nullptr, nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        static const char kClass[] = "Navigator\0firefox-esr";
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            sizeof kClass, kClass);
        const auto pid = static_cast<std::uint32_t>(::getpid());
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        xcb_map_window(m_connection, m_window);
        sync();
    }
    ~CFakeBrowserWindow() { xcb_disconnect(m_connection); }

    // Titles the window as Firefox does ("Page — Mozilla Firefox") and gives it the input focus.
    void show(const QString& title) {
        const QByteArray text = title.toUtf8();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, atom("_NET_WM_NAME"),
                            atom("UTF8_STRING"), 8, static_cast<std::uint32_t>(text.size()), text.constData());
        xcb_set_input_focus(m_connection, XCB_INPUT_FOCUS_POINTER_ROOT, m_window, XCB_CURRENT_TIME);
        sync();
    }

private:
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(strlen(name)), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return value;
    }
    // Waits until the server has done all that was asked.
    void sync() { free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr)); }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_window = 0;
};

// Records the wait and plays the browser: `during` runs on every call, with the time waited.
class CRecordedWait final : public CCaptureWait {
public:
    std::function<bool(std::chrono::milliseconds)> during = [](std::chrono::milliseconds) { return true; };
    int calls = 0;
    int ends = 0;
    std::chrono::milliseconds limit{0};

    bool waiting(std::chrono::milliseconds elapsed, std::chrono::milliseconds waitLimit) override {
        ++calls;
        limit = waitLimit;
        return during(elapsed);
    }
    void ended() override { ++ends; }
};

struct Captured {
    bool ok = false;
    std::string url;
    std::string title;
    CaptureRefusal refusal = CaptureRefusal::None;
};

QByteArray tab(const char* url, const char* title) {
    return QByteArray("{\"entries\":[{\"url\":\"") + url + "\",\"title\":\"" + title + "\"}],\"index\":1}";
}

QByteArray session(const QList<QByteArray>& tabs, int selected) {
    return "{\"windows\":[{\"tabs\":[" + tabs.join(',') + "],\"selected\":" + QByteArray::number(selected) +
           "}],\"selectedWindow\":1}";
}

const char* const kPageA = "https://a.example/";
const char* const kTitleA = "ページＡ";
const char* const kPageB = "https://b.example/";
const char* const kTitleB = "ページＢ";

}  // namespace

class CaptureConsistencyTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void takesThePageShownOrRefusesNeverAMixedPair();
    void takesTheExtensionsReportWhenItAgreesWithTheWindow();

private:
    Captured capture();
    void writeSession(const QByteArray& json);

    QTemporaryDir m_dir;
    QString m_profile;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<CFakeBrowserWindow> m_window;
    CRecordedWait m_wait;
};

void CaptureConsistencyTest::initTestCase() {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        QFAIL("Xvfb is not installed (tools/install-deps.sh test)");
    }
    m_xvfb = std::make_unique<QProcess>();
    m_xvfb->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_xvfb->waitForReadyRead(30000)) {
        number += m_xvfb->readAllStandardOutput();
    }
    QVERIFY2(number.contains('\n'), "Xvfb did not start");
    qputenv("DISPLAY", ":" + number.trimmed());

    const QString home = m_dir.path() + QStringLiteral("/home");
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    const QString runtime = m_dir.path() + QStringLiteral("/run");
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());

    // Firefox runs with a profile of its own making, locked by "its" process: this one. It writes its
    // session every second.
    const QString root = home + QStringLiteral("/.mozilla/firefox");
    m_profile = root + QStringLiteral("/abcd1234.default-esr");
    QVERIFY(writeFile(root + QStringLiteral("/profiles.ini"),
                      "[Profile0]\nName=default-esr\nIsRelative=1\nPath=abcd1234.default-esr\nDefault=1\n"));
    QVERIFY(writeFile(m_profile + QStringLiteral("/prefs.js"),
                      "user_pref(\"browser.sessionstore.interval\", 1000);\n"));
    QVERIFY(QFile::link(QStringLiteral("127.0.0.1:+%1").arg(::getpid()), m_profile + QStringLiteral("/lock")));
    m_window = std::make_unique<CFakeBrowserWindow>();
}

void CaptureConsistencyTest::cleanupTestCase() {
    m_window.reset();
    if (m_xvfb) {
        m_xvfb->terminate();
        m_xvfb->waitForFinished();
    }
}

Captured CaptureConsistencyTest::capture() {
    CLinuxBrowserTransport transport;
    transport.setWait(&m_wait);
    CBrowserCapture client(transport);
    Captured result;
    m_wait.calls = 0;
    m_wait.ends = 0;
    result.ok = client.capture(result.url, result.title);
    result.refusal = client.refusal();
    return result;
}

void CaptureConsistencyTest::writeSession(const QByteArray& json) {
    QVERIFY(writeFile(m_profile + QStringLiteral("/sessionstore-backups/recovery.jsonlz4"), mozLz4(json)));
}

void CaptureConsistencyTest::takesThePageShownOrRefusesNeverAMixedPair() {
    // The window and the session agree: the page is taken at once.
    writeSession(session({tab(kPageA, kTitleA)}, 1));
    m_window->show(QStringLiteral("ページＡ — Mozilla Firefox"));
    Captured result = capture();
    QVERIFY(result.ok);
    QCOMPARE(result.url, std::string(kPageA));
    QCOMPARE(result.title, std::string(kTitleA));
    QCOMPARE(m_wait.calls, 0);

    // The user opened B; Firefox has not written it down yet and never does: a refusal after the
    // browser's interval and the slack, never A's address under B's title.
    m_window->show(QStringLiteral("ページＢ — Mozilla Firefox"));
    QElapsedTimer clock;
    clock.start();
    result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.refusal, CaptureRefusal::NotYetSaved);
    QVERIFY2(m_wait.limit <= std::chrono::milliseconds(3000), std::to_string(m_wait.limit.count()).c_str());
    QVERIFY(clock.elapsed() >= 1900);
    QCOMPARE(m_wait.ends, 1);

    // Firefox writes B while the capture waits: B's address with B's title.
    m_wait.during = [this](std::chrono::milliseconds elapsed) {
        if (elapsed >= std::chrono::milliseconds(300)) {
            writeSession(session({tab(kPageA, kTitleA), tab(kPageB, kTitleB)}, 2));
        }
        return true;
    };
    result = capture();
    QVERIFY(result.ok);
    QCOMPARE(result.url, std::string(kPageB));
    QCOMPARE(result.title, std::string(kTitleB));
    QVERIFY(m_wait.calls >= 2);
    QCOMPARE(m_wait.ends, 1);

    // The user switched back to A, which the session holds though it still has B selected.
    m_wait.during = [](std::chrono::milliseconds) { return true; };
    m_window->show(QStringLiteral("ページＡ — Mozilla Firefox"));
    result = capture();
    QCOMPARE(result.url, std::string(kPageA));
    QCOMPARE(result.title, std::string(kTitleA));

    // The user ends the wait: nothing is taken and nothing more is said.
    m_window->show(QStringLiteral("ページＣ — Mozilla Firefox"));
    m_wait.during = [](std::chrono::milliseconds) { return false; };
    result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.refusal, CaptureRefusal::Cancelled);
    QCOMPARE(m_wait.ends, 1);
    m_wait.during = [](std::chrono::milliseconds) { return true; };

    // A private window and Firefox's first-run tab are never taken, and refused without a wait.
    m_window->show(QStringLiteral("ページＡ — Mozilla Firefox Private Browsing"));
    result = capture();
    QCOMPARE(result.refusal, CaptureRefusal::PrivateWindow);
    QCOMPARE(m_wait.calls, 0);
    writeSession(session({tab("https://www.mozilla.org/ja/privacy/firefox/", "Firefox プライバシー通知")}, 1));
    m_window->show(QStringLiteral("Firefox プライバシー通知 — Mozilla Firefox"));
    result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.refusal, CaptureRefusal::BrowserPage);
    QCOMPARE(m_wait.calls, 0);
}

void CaptureConsistencyTest::takesTheExtensionsReportWhenItAgreesWithTheWindow() {
    // The session holds only A; the extension's host reports C, which the window shows: C at once.
    writeSession(session({tab(kPageA, kTitleA)}, 1));
    m_window->show(QStringLiteral("ページＣ — Mozilla Firefox"));
    CBrowserHostState::Page reported;
    reported.url = "https://c.example/";
    reported.title = "ページＣ";
    reported.hostPid = ::getpid();
    reported.pids = {::getpid()};
    std::string error;
    QVERIFY2(CBrowserHostState::write(reported, &error), error.c_str());
    Captured result = capture();
    QVERIFY(result.ok);
    QCOMPARE(result.url, reported.url);
    QCOMPARE(result.title, reported.title);
    QCOMPARE(m_wait.calls, 0);

    // A report that does not match the window (the user moved on to D) is not taken: the session path
    // answers, and it does not hold D either.
    m_window->show(QStringLiteral("ページＤ — Mozilla Firefox"));
    result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.refusal, CaptureRefusal::NotYetSaved);

    // The extension reports a private window: refused at once.
    reported.incognito = true;
    reported.url.clear();
    reported.title.clear();
    QVERIFY(CBrowserHostState::write(reported, &error));
    result = capture();
    QCOMPARE(result.refusal, CaptureRefusal::PrivateWindow);
    QCOMPARE(m_wait.calls, 0);
    CBrowserHostState::remove();
}

QTEST_GUILESS_MAIN(CaptureConsistencyTest)
#include "CaptureConsistencyTest.moc"
