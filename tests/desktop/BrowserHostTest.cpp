// The native messaging host as the browser runs it: a process fed framed messages on its standard input.
// What it keeps is read back the way the capture reads it, through the state files.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "desktop/CBrowserHostInstaller.h"
#include "desktop/CBrowserHostState.h"

namespace {

QByteArray frame(const QByteArray& json) {
    const auto length = static_cast<std::uint32_t>(json.size());
    QByteArray bytes(reinterpret_cast<const char*>(&length), sizeof length);
    return bytes + json;
}

QByteArray page(const QString& url, const QString& title) {
    const QJsonObject message{{"type", "page"},       {"url", url},         {"title", title},
                              {"status", "complete"}, {"incognito", false}, {"time", 1765000000000.0}};
    return frame(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

std::int64_t self() {
    return QCoreApplication::applicationPid();
}

// The page the capture would find for this test process, by url ("" when none).
QString urlFound() {
    const auto found = CBrowserHostState::readFor(self());
    return found ? QString::fromStdString(found->url) : QString();
}

}  // namespace

class BrowserHostTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keepsTheLatestValidPageAndSkipsTheRest();
    void aBadLengthEndsTheHostAndRemovesItsFile();
    void theEndOfInputOrATerminationRemovesTheFile();
    void deadHostsAreIgnoredAndTheirOldFilesRemoved();
    void refusesAStateFolderOthersCanEnter();

private:
    void start(QProcess& host);
    QString statePath(const QProcess& host) const;
    // Starts the host and gives it one page; `state` is its state file, there once the page has landed.
    void startWithPage(QProcess& host, const QByteArray& frame, QString& state);

    std::unique_ptr<QTemporaryDir> m_runtime;
};

void BrowserHostTest::init() {
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(::chmod(QFile::encodeName(m_runtime->path()).constData(), 0700) == 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
}

void BrowserHostTest::start(QProcess& host) {
    host.setProgram(QString::fromStdString(CBrowserHostInstaller::hostPath()));
    host.start();
    QVERIFY2(host.waitForStarted(5000), qPrintable(host.program()));
}

// The host's state file; asked while the host runs (a finished QProcess has no process id).
QString BrowserHostTest::statePath(const QProcess& host) const {
    return m_runtime->path() + QStringLiteral("/quillory/browser-%1.json").arg(host.processId());
}

void BrowserHostTest::startWithPage(QProcess& host, const QByteArray& frame, QString& state) {
    start(host);
    state = statePath(host);
    host.write(frame);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(state), 5000);
}

void BrowserHostTest::keepsTheLatestValidPageAndSkipsTheRest() {
    QProcess host;
    start(host);
    const QString state = statePath(host);
    host.write(page("https://example.org/一", "最初のページ"));
    QTRY_COMPARE_WITH_TIMEOUT(urlFound(), QString("https://example.org/一"), 5000);

    const auto first = CBrowserHostState::readFor(self());
    QCOMPARE(QString::fromStdString(first->title), QString("最初のページ"));
    QCOMPARE(first->hostPid, std::int64_t(host.processId()));
    QCOMPARE(first->pids.front(), self());
    QCOMPARE(first->timeMs, std::int64_t(1765000000000));
    QVERIFY(!first->loading);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(state).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(0600));

    // Each of these is skipped with a line on standard error; the valid page after them still lands.
    host.write(frame("{\"type\":\"page\",\"url\":"));
    host.write(frame(
        R"({"type":"page","url":"https://b.example/","title":"B","status":"complete","incognito":"no","time":1})"));
    host.write(page("javascript:alert(1)", "script"));
    host.write(page("https://c.example/", QString(4097, 'x')));
    host.write(frame("[]"));
    host.write(page("file:///home/user/page.html", "二番目"));
    QTRY_COMPARE_WITH_TIMEOUT(urlFound(), QString("file:///home/user/page.html"), 5000);
    QCOMPARE(QString::fromStdString(CBrowserHostState::readFor(self())->title), QString("二番目"));
    QVERIFY(!CBrowserHostState::readFor(self() + 100000));

    host.closeWriteChannel();
    QVERIFY(host.waitForFinished(5000));
    QCOMPARE(host.exitStatus(), QProcess::NormalExit);
    QCOMPARE(host.exitCode(), 0);
    QCOMPARE(host.readAllStandardError().count("message skipped"), 5);
    QVERIFY(!QFile::exists(state));
    QCOMPARE(urlFound(), QString());
}

void BrowserHostTest::aBadLengthEndsTheHostAndRemovesItsFile() {
    for (const std::uint32_t length : {std::uint32_t{0}, std::uint32_t{64 * 1024 + 1}}) {
        QProcess host;
        QString state;
        startWithPage(host, page("https://example.org/", "Example"), state);
        host.write(QByteArray(reinterpret_cast<const char*>(&length), sizeof length) +
                   page("https://late.example/", "late"));
        QVERIFY(host.waitForFinished(5000));
        QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        QVERIFY(host.exitCode() != 0);
        QVERIFY(!host.readAllStandardError().isEmpty());
        QVERIFY(!QFile::exists(state));
    }
}

void BrowserHostTest::theEndOfInputOrATerminationRemovesTheFile() {
    QProcess half;
    QString halfState;
    startWithPage(half, page("https://example.org/", "Example"), halfState);
    half.write(page("https://example.org/next", "Next").left(12));
    half.closeWriteChannel();
    QVERIFY(half.waitForFinished(5000));
    QCOMPARE(half.exitStatus(), QProcess::NormalExit);
    QCOMPARE(half.exitCode(), 0);
    QVERIFY(!QFile::exists(halfState));

    for (const int signal : {SIGTERM, SIGINT}) {
        QProcess host;
        QString state;
        startWithPage(host, page("https://example.org/", "Example"), state);
        ::kill(static_cast<pid_t>(host.processId()), signal);
        QVERIFY(host.waitForFinished(5000));
        QCOMPARE(host.exitStatus(), QProcess::CrashExit);
        QVERIFY(!QFile::exists(state));
    }
}

void BrowserHostTest::deadHostsAreIgnoredAndTheirOldFilesRemoved() {
    // A host that wrote its page and was killed before it could remove its file.
    QProcess host;
    QString left;
    startWithPage(host, page("https://example.org/dead", "Dead"), left);
    host.kill();
    QVERIFY(host.waitForFinished(5000));
    QVERIFY(QFile::exists(left));

    QCOMPARE(urlFound(), QString());
    QVERIFY(QFile::exists(left));  // young: perhaps a host that is just being replaced
    QFile file(left);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(urlFound(), QString());
    QVERIFY(!QFile::exists(left));
}

void BrowserHostTest::refusesAStateFolderOthersCanEnter() {
    const std::string folder = m_runtime->path().toStdString() + "/quillory";
    QCOMPARE(CBrowserHostState::folder(), folder);
    QCOMPARE(::chmod(folder.c_str(), 0755), 0);
    QCOMPARE(CBrowserHostState::folder(), std::string());
    std::string error;
    QVERIFY(!CBrowserHostState::write(CBrowserHostState::Page{}, &error));
    QVERIFY2(error.find(folder + ": ") == 0, error.c_str());

    QVERIFY(::rmdir(folder.c_str()) == 0);
    QTemporaryDir elsewhere;
    QCOMPARE(::symlink(QFile::encodeName(elsewhere.path()).constData(), folder.c_str()), 0);
    QCOMPARE(CBrowserHostState::folder(), std::string());
}

QTEST_MAIN(BrowserHostTest)
#include "BrowserHostTest.moc"
