// The Linux transport on recorded session files, without a display: Firefox's LZ4 session store, the
// profiles and locks that say which browser runs, and damaged files that must fail cleanly.

#include <arpa/inet.h>
#include <lz4.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "SessionTestFiles.h"
#include "desktop/CFirefoxSessionReader.h"
#include "desktop/CLinuxBrowserTransport.h"
#include "desktop/CMozLz4Reader.h"
#include "desktop/CRunningBrowsers.h"
#include "platform/CBrowserCapture.h"

namespace {

QString hostName() {
    char buffer[256] = {};
    ::gethostname(buffer, sizeof buffer - 1);
    return QString::fromUtf8(buffer);
}

void writeFile(const QString& path, const QByteArray& content) { QVERIFY(sessiontest::writeFile(path, content)); }

using sessiontest::mozLz4;

// Two windows, the second selected; in it the second tab, whose history stands at its first entry.
const char* const kSession = "{\"windows\":[\n"
    "  {\"tabs\":[{\"entries\":[{\"url\":\"https://one.example/\",\"title\":\"一\"}],\"index\":1}],\"selected\":1},\n"
    "  {\"tabs\":[{\"entries\":[{\"url\":\"https://two.example/\",\"title\":\"二\"}],\"index\":1},\n"
    "           {\"entries\":[{\"url\":\"https://back.example/\",\"title\":\"戻った先\"},\n"
    "                       {\"url\":\"https://forward.example/\",\"title\":\"進んだ先\"}],\"index\":1}],\"selected\":2}],\n"
    " \"selectedWindow\":2,\"_closedWindows\":[]}";

struct Captured {
    bool ok;
    std::string url;
    std::string title;
    std::string reason;
};

// An "X server" that accepts connections and never answers: a listening TCP socket on a display port.
// Returns the display name, "" when no port was free; the socket stays open until `fd` is closed.
QByteArray silentDisplay(int& fd) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    for (int display = 60; display < 100; ++display) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(6000 + display));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 4) == 0) {
            return "127.0.0.1:" + QByteArray::number(display);
        }
    }
    return {};
}

Captured capture() {
    CLinuxBrowserTransport transport;
    CBrowserCapture client(transport);
    Captured result;
    result.ok = client.capture(result.url, result.title);
    result.reason = client.failureReason();
    return result;
}

}  // namespace

class SessionFilesTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readsFirefoxSessionStoreAndRejectsDamagedOnes();
    void findsTheBrowsersWhoseLocksAreHeld();
    void capturesFromTheRunningBrowsersSessionWithoutADisplay();

private:
    QString firefoxProfile(const QString& name);
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_home;
    QByteArray m_saved[3];
};

void SessionFilesTest::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    m_home = m_dir->path() + QStringLiteral("/home");
    m_saved[0] = qgetenv("HOME");
    m_saved[1] = qgetenv("XDG_CONFIG_HOME");
    m_saved[2] = qgetenv("DISPLAY");
    qputenv("HOME", m_home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home + "/.config").toUtf8());
    qunsetenv("DISPLAY");
}

void SessionFilesTest::cleanup() {
    qputenv("HOME", m_saved[0]);
    qputenv("XDG_CONFIG_HOME", m_saved[1]);
    if (!m_saved[2].isEmpty()) {
        qputenv("DISPLAY", m_saved[2]);
    }
    m_dir.reset();
}

// A Firefox profile in the folder of recent versions, locked by this process as a running Firefox would.
QString SessionFilesTest::firefoxProfile(const QString& name) {
    const QString root = m_home + "/.config/mozilla/firefox";
    writeFile(root + "/installs.ini", "[4F96D1932A9F858E]\nDefault=" + name.toUtf8() + "\nLocked=1\n");
    const QString profile = root + "/" + name;
    QDir().mkpath(profile);
    QFile::link(QStringLiteral("127.0.0.1:+%1").arg(::getpid()), profile + "/lock");
    return profile;
}

void SessionFilesTest::readsFirefoxSessionStoreAndRejectsDamagedOnes() {
    const QString path = m_home + "/recovery.jsonlz4";
    writeFile(path, mozLz4(kSession));
    CSessionError error;
    const auto session = CFirefoxSessionReader::readFile(path.toStdString(), &error);
    QVERIFY2(session, error.message().c_str());
    QCOMPARE(session->shownTab()->url, std::string("https://back.example/"));
    QCOMPARE(session->shownTab()->title, std::string("戻った先"));

    const QByteArray good = mozLz4(kSession);
    const auto errorOf = [&](const QByteArray& bytes) {
        CSessionError failure;
        const auto read = CMozLz4Reader::decompress(std::string_view(bytes.constData(), bytes.size()), "f", &failure);
        return read ? QStringLiteral("read") : QString::number(failure.offset) + " " + QString::fromStdString(failure.what);
    };
    QCOMPARE(errorOf(good.left(10)), QStringLiteral("10 truncated header"));
    QCOMPARE(errorOf("mozLz4X" + good.mid(7)), QStringLiteral("0 not an LZ4 session file (bad magic)"));
    QByteArray huge = good;
    huge[11] = '\xFF';
    QVERIFY(errorOf(huge).startsWith(QStringLiteral("8 declared size 42")));
    QByteArray larger = good;
    larger[8] = static_cast<char>(larger[8] + 1);  // one byte more than the block gives
    QVERIFY(errorOf(larger).startsWith(QStringLiteral("12 ")));
    QByteArray scrambled = good;
    for (int i = 12; i < scrambled.size(); i += 3) {
        scrambled[i] = static_cast<char>(0xF0 | (i & 0x0F));
    }
    QVERIFY(errorOf(scrambled).startsWith(QStringLiteral("12 ")));
    // Every cut of the file fails with an error, never a crash.
    for (int cut = 0; cut < good.size(); ++cut) {
        QVERIFY(errorOf(good.left(cut)) != QStringLiteral("read"));
    }

    writeFile(path, mozLz4("[1,2]"));
    QVERIFY(!CFirefoxSessionReader::readFile(path.toStdString(), &error));
    QCOMPARE(error.path, path.toStdString());
}

void SessionFilesTest::findsTheBrowsersWhoseLocksAreHeld() {
    // profiles.ini lists three profiles: one unlocked, one left locked by a Firefox that is gone, and one
    // locked by a live process; only that one runs.
    const QString root = m_home + "/.mozilla/firefox";
    writeFile(root + "/profiles.ini",
              "[Profile0]\nName=a\nIsRelative=1\nPath=a.default\nDefault=1\n\n"
              "[Profile1]\nName=b\nIsRelative=1\nPath=b.stale\n\n"
              "[Profile2]\nName=c\nIsRelative=0\nPath=" + (m_home + "/elsewhere/c").toUtf8() + "\n");
    QDir().mkpath(root + "/a.default");
    QDir().mkpath(root + "/b.stale");
    QDir().mkpath(m_home + "/elsewhere/c");
    QFile::link(QStringLiteral("127.0.0.1:+2147483000"), root + "/b.stale/lock");
    QFile::link(QStringLiteral("127.0.0.1:+%1").arg(::getpid()), m_home + "/elsewhere/c/lock");
    QCOMPARE(CRunningBrowsers::firefoxProfiles(root.toStdString()),
             (std::vector<std::string>{(root + "/a.default").toStdString(), (root + "/b.stale").toStdString(),
                                       (m_home + "/elsewhere/c").toStdString()}));

    // Chromium: a SingletonLock of this host and a live process; the profile Local State last used.
    const QString chromium = m_home + "/.config/chromium";
    QDir().mkpath(chromium);
    QFile::link(hostName() + QStringLiteral("-%1").arg(::getpid()), chromium + "/SingletonLock");
    writeFile(chromium + "/Local State", "{\"profile\":{\"last_used\":\"Profile 1\"}}");
    // Google Chrome's lock names another host: it runs there, not here.
    QDir().mkpath(m_home + "/.config/google-chrome");
    QFile::link(QStringLiteral("otherhost-%1").arg(::getpid()), m_home + "/.config/google-chrome/SingletonLock");

    const auto browsers = CRunningBrowsers::find(m_home.toStdString(), (m_home + "/.config").toStdString());
    QCOMPARE(browsers.size(), std::size_t{2});
    QCOMPARE(browsers[0].profile, (m_home + "/elsewhere/c").toStdString());
    QCOMPARE(browsers[0].pid, static_cast<std::int64_t>(::getpid()));
    QCOMPARE(browsers[1].profile, (chromium + "/Profile 1").toStdString());

    // A profile name that leaves the user data folder is not followed.
    writeFile(chromium + "/Local State", "{\"profile\":{\"last_used\":\"../../etc\"}}");
    QCOMPARE(CRunningBrowsers::chromiumProfile(chromium.toStdString()), (chromium + "/Default").toStdString());
}

void SessionFilesTest::capturesFromTheRunningBrowsersSessionWithoutADisplay() {
    // Nothing runs: failure without a reason.
    Captured result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, std::string());

    const QString profile = firefoxProfile("x.default-release");
    const QString store = profile + "/sessionstore-backups/recovery.jsonlz4";
    writeFile(store, mozLz4(kSession));
    result = capture();
    QVERIFY(result.ok);
    QCOMPARE(result.url, std::string("https://back.example/"));
    QCOMPARE(result.title, std::string("戻った先"));

    // A display that never answers does not hold the capture: the session still gives the page.
    int silent = -1;
    const QByteArray display = silentDisplay(silent);
    QVERIFY(!display.isEmpty());
    qputenv("DISPLAY", display);
    result = capture();
    qunsetenv("DISPLAY");
    ::close(silent);
    QVERIFY(result.ok);
    QCOMPARE(result.url, std::string("https://back.example/"));

    // A damaged store: no page, and the reason names the file and the place.
    QByteArray damaged = mozLz4(kSession);
    damaged[11] = '\x40';
    writeFile(store, damaged);
    result = capture();
    QVERIFY(!result.ok);
    QCOMPARE(result.reason.substr(0, store.size() + 12), (store + " at byte 8: ").toStdString());

    // Chromium also runs and wrote its session later, but only encrypted: a failure, not an old page.
    const QString chromium = m_home + "/.config/chromium";
    QDir().mkpath(chromium + "/Default/Sessions");
    QFile::link(hostName() + QStringLiteral("-%1").arg(::getpid()), chromium + "/SingletonLock");
    writeFile(chromium + "/Default/Sessions_Encrypted/Session_13441254226154933", QByteArray("SNSS\5\0\0\0", 8));
    result = capture();
    QVERIFY(!result.ok);
    QVERIFY(result.reason.find("encrypted") != std::string::npos);
}

QTEST_GUILESS_MAIN(SessionFilesTest)
#include "SessionFilesTest.moc"
