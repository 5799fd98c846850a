#include "CTestBrowser.h"

#include "desktop/CBrowserHostInstaller.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>

#include <signal.h>
#include <unistd.h>

namespace {

constexpr int kStartMs = 30000;
constexpr int kQuitMs = 20000;


bool writeFile(const QString& path, const QByteArray& content, QIODevice::OpenMode mode = QIODevice::Truncate) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | mode) && file.write(content) == content.size();
}

const char* const kPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>%1</title></head><body><p>%1</p></body></html>
)";

// What an unsigned add-on dropped into the profile needs to be enabled without asking.
const char* const kExtensionPreferences = R"(user_pref("xpinstall.signatures.required", false);
user_pref("extensions.autoDisableScopes", 0);
)";

// Chromium as a user starts it, with what running as root on a display without a GPU or keyring needs.
// Without --user-data-dir it keeps its data in $XDG_CONFIG_HOME/chromium, in the fresh home.
QStringList userChromiumFlags() {
    return {QStringLiteral("--no-sandbox"), QStringLiteral("--no-first-run"), QStringLiteral("--disable-gpu"),
            QStringLiteral("--password-store=basic")};
}

// Runs a short X tool on the private display; its standard output, or nothing when it failed.
QByteArray xtool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? process.readAllStandardOutput()
                                                                                     : QByteArray();
}

// Every process a browser starts, stays in one group, so that nothing it left behind outlives the test.
void startInOwnGroup(QProcess& process) {
    process.setChildProcessModifier([] { ::setsid(); });
}

void endGroup(qint64 group) {
    if (group <= 0) {
        return;
    }
    ::kill(static_cast<pid_t>(-group), SIGTERM);
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(-group), SIGKILL);
}

void restoreVariable(const char* name, const QByteArray& saved) {
    if (saved.isNull()) {
        qunsetenv(name);
    } else {
        qputenv(name, saved);
    }
}

}  // namespace

CTestBrowser::CTestBrowser(Kind kind) : m_kind(kind) {
    m_savedHome = qgetenv("HOME");
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    m_savedDisplay = qgetenv("DISPLAY");
    m_savedBus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    m_pages = m_dir.path() + QStringLiteral("/pages");
    QDir().mkpath(m_pages);
    QDir().mkpath(home() + QStringLiteral("/.config"));
    qputenv("HOME", home().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home() + QStringLiteral("/.config")).toUtf8());
}

CTestBrowser::~CTestBrowser() {
    stop();
    restoreVariable("HOME", m_savedHome);
    restoreVariable("XDG_CONFIG_HOME", m_savedConfig);
    restoreVariable("DISPLAY", m_savedDisplay);
    restoreVariable("DBUS_SESSION_BUS_ADDRESS", m_savedBus);
}

QString CTestBrowser::writePage(const QString& name, const QString& title) {
    const QString path = m_pages + QLatin1Char('/') + name + QStringLiteral(".html");
    writeFile(path, QString::fromUtf8(kPage).arg(title).toUtf8());
    return QStringLiteral("file://") + path;
}

QString CTestBrowser::program() const {
    return m_kind == Kind::Firefox ? QStringLiteral("firefox-esr") : QStringLiteral("chromium");
}

QString CTestBrowser::profile() const {
    if (m_kind == Kind::Chromium) {
        return home() + QStringLiteral("/.config/chromium/Default");
    }
    // Firefox names the profile it makes at random and records it as this installation's default; ESR
    // 153 makes it under $XDG_CONFIG_HOME/mozilla/firefox, older ones under ~/.mozilla/firefox.
    for (const QString& root : {home() + QStringLiteral("/.config/mozilla/firefox"),
                                home() + QStringLiteral("/.mozilla/firefox")}) {
        QSettings installs(root + QStringLiteral("/installs.ini"), QSettings::IniFormat);
        for (const QString& group : installs.childGroups()) {
            const QString path = installs.value(group + QStringLiteral("/Default")).toString();
            if (!path.isEmpty() && QDir(root + QLatin1Char('/') + path).exists()) {
                return root + QLatin1Char('/') + path;
            }
        }
        const QStringList made = QDir(root).entryList({QStringLiteral("*.default-esr")}, QDir::Dirs);
        if (!made.isEmpty()) {
            return root + QLatin1Char('/') + made.first();
        }
    }
    return {};
}

QString CTestBrowser::hostManifestPath() const {
    const QString file = QString::fromLatin1(CBrowserHostInstaller::kHostName) + QStringLiteral(".json");
    return m_kind == Kind::Firefox ? home() + QStringLiteral("/.mozilla/native-messaging-hosts/") + file
                                   : home() + QStringLiteral("/.config/chromium/NativeMessagingHosts/") + file;
}

void CTestBrowser::installExtension(const QString& extensionDir, const QString& hostProgram) {
    m_extensionDir = QDir(extensionDir).absolutePath();
    m_hostProgram = hostProgram;
}

QString CTestBrowser::startDesktop() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            return QString::fromLatin1(tool) + QStringLiteral(" is not installed (tools/install-deps.sh test)");
        }
    }
    m_xvfb = std::make_unique<QProcess>();
    // -displayfd picks a free display and writes its number when the server accepts clients.
    m_xvfb->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    QByteArray number;
    while (!number.contains('\n') && m_xvfb->waitForReadyRead(kStartMs)) {
        number += m_xvfb->readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        return QStringLiteral("Xvfb did not start");
    }
    qputenv("DISPLAY", ":" + number.trimmed());

    // Firefox's remote (a second `firefox-esr PAGE` handing the page to the running one) goes over the
    // session bus, so the desktop has one of its own.
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--fork"),
                                              QStringLiteral("--print-address=1"), QStringLiteral("--print-pid=1")});
    if (!bus.waitForFinished(kStartMs) || bus.exitCode() != 0) {
        return QStringLiteral("dbus-daemon did not start");
    }
    const QList<QByteArray> printed = bus.readAllStandardOutput().split('\n');
    if (printed.size() < 2 || printed[0].isEmpty()) {
        return QStringLiteral("dbus-daemon did not tell its address");
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", printed[0].trimmed());
    m_dbusPid = printed[1].trimmed().toLongLong();

    // The window manager gives the new window the focus and sets the active window and window titles.
    m_windowManager = std::make_unique<QProcess>();
    m_windowManager->setStandardOutputFile(QProcess::nullDevice());
    m_windowManager->setStandardErrorFile(QProcess::nullDevice());
    m_windowManager->start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    const QDeadlineTimer deadline(kStartMs);
    while (xtool(QStringLiteral("xdotool"), {QStringLiteral("get_num_desktops")}).trimmed().toInt() < 1) {
        if (deadline.hasExpired() || m_windowManager->state() == QProcess::NotRunning) {
            return QStringLiteral("openbox did not start");
        }
        QThread::msleep(100);
    }
    return {};
}

QString CTestBrowser::startBrowser(const QStringList& arguments) {
    m_browser = std::make_unique<QProcess>();
    m_browser->setStandardErrorFile(QProcess::nullDevice());
    m_browser->setStandardOutputFile(QProcess::nullDevice());
    startInOwnGroup(*m_browser);
    m_browser->start(program(), arguments);
    if (!m_browser->waitForStarted(kStartMs)) {
        return program() + QStringLiteral(" did not start: ") + m_browser->errorString();
    }
    return waitForWindow();
}

QString CTestBrowser::waitForWindow() {
    const QString pid = QString::number(m_browser->processId());
    const QDeadlineTimer deadline(kStartMs);
    while (xtool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                            QStringLiteral("--pid"), pid})
               .trimmed()
               .isEmpty()) {
        if (m_browser->state() == QProcess::NotRunning) {
            return program() + QStringLiteral(" ended before it showed a window");
        }
        if (deadline.hasExpired()) {
            return program() + QStringLiteral(" showed no window");
        }
        QThread::msleep(200);
    }
    return {};
}

QStringList CTestBrowser::browserArguments() const {
    QStringList arguments = m_kind == Kind::Chromium ? userChromiumFlags() : QStringList();
    if (m_kind == Kind::Chromium && !m_extensionDir.isEmpty()) {
        arguments << QStringLiteral("--load-extension=") + m_extensionDir;
    }
    return arguments;
}

QString CTestBrowser::start(const QString& firstPage) {
    if (const QString error = startDesktop(); !error.isEmpty()) {
        return error;
    }
    if (QStandardPaths::findExecutable(program()).isEmpty()) {
        return program() + QStringLiteral(" is not installed (tools/install-deps.sh test)");
    }
    if (!m_extensionDir.isEmpty()) {
        // The program's own installer registers the host, as its dialog does for the user.
        const auto installed = CBrowserHostInstaller::install(m_hostProgram.toStdString(), home().toStdString(),
                                                              (home() + QStringLiteral("/.config")).toStdString());
        if (!installed.error.empty()) {
            return QString::fromStdString(installed.error);
        }
        if (m_kind == Kind::Firefox) {
            if (const QString error = prepareFirefoxExtension(); !error.isEmpty()) {
                return error;
            }
        }
    }
    return startBrowser(browserArguments() << firstPage);
}

// Firefox takes an add-on the user did not install only from the profile it made: start it once as a
// user does, quit, drop the packed add-on into the profile and let the next start find it.
QString CTestBrowser::prepareFirefoxExtension() {
    if (const QString error = startBrowser({}); !error.isEmpty()) {
        return error;
    }
    // The window is up before the browser is: it names the window after the page once it runs.
    const QDeadlineTimer shown(kStartMs);
    while (!activeWindowTitle().contains(QStringLiteral("Mozilla Firefox")) && !shown.hasExpired()) {
        QThread::msleep(200);
    }
    if (!quitBrowser()) {
        return QStringLiteral("firefox-esr did not quit after its first start");
    }
    const QString folder = profile();
    if (folder.isEmpty()) {
        return QStringLiteral("firefox-esr made no profile");
    }
    // An .xpi is a zip of the extension's files, named after its id.
    const QString xpi = folder + QStringLiteral("/extensions/") + QString::fromLatin1(CBrowserHostInstaller::kFirefoxExtensionId) +
                        QStringLiteral(".xpi");
    QDir().mkpath(folder + QStringLiteral("/extensions"));
    QStringList files = QDir(m_extensionDir).entryList(QDir::Files);
    if (!files.contains(QStringLiteral("manifest.json"))) {
        return m_extensionDir + QStringLiteral(" has no manifest.json");
    }
    QProcess zip;
    zip.setWorkingDirectory(m_extensionDir);
    zip.start(QStringLiteral("python3"), QStringList{QStringLiteral("-m"), QStringLiteral("zipfile"),
                                                     QStringLiteral("-c"), xpi} +
                                             files);
    if (!zip.waitForFinished(kStartMs) || zip.exitCode() != 0) {
        return QStringLiteral("cannot pack ") + xpi + QLatin1Char(' ') + QString::fromUtf8(zip.readAllStandardError());
    }
    if (!writeFile(folder + QStringLiteral("/user.js"), kExtensionPreferences, QIODevice::Append)) {
        return QStringLiteral("cannot write user.js");
    }
    // Firefox installs an add-on found in the profile at start-up but runs it only from the start after;
    // without its add-on database it rebuilds that at start-up and runs the new add-on at once.
    QFile::remove(folder + QStringLiteral("/addonStartup.json.lz4"));
    QFile::remove(folder + QStringLiteral("/extensions.json"));
    return {};
}

QString CTestBrowser::runToEnd(const QString& programName, const QStringList& arguments, const QString& what) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(programName, arguments);
    if (!process.waitForFinished(kStartMs)) {
        process.kill();
        process.waitForFinished();
        return programName + QStringLiteral(" did not ") + what;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return programName + QStringLiteral(" failed to ") + what;
    }
    return {};
}

QString CTestBrowser::openTab(const QString& page) {
    // The second instance hands the page to the running one (Firefox over D-Bus, Chromium over its
    // socket in the user data folder) and exits.
    QStringList arguments = m_kind == Kind::Firefox ? QStringList{QStringLiteral("--new-tab")} : userChromiumFlags();
    return runToEnd(program(), arguments << page, QStringLiteral("hand the page over"));
}

QString CTestBrowser::openPrivateWindow(const QString& page) {
    QStringList arguments = m_kind == Kind::Firefox ? QStringList{QStringLiteral("--private-window")}
                                                    : userChromiumFlags() << QStringLiteral("--incognito");
    return runToEnd(program(), arguments << page, QStringLiteral("open a private window"));
}

QString CTestBrowser::switchTab() {
    return runToEnd(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+Tab")},
                    QStringLiteral("press Ctrl+Tab"));
}

QString CTestBrowser::activeWindowTitle() const {
    return QString::fromUtf8(
               xtool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")}))
        .trimmed();
}

// Closes the browser's windows through the window manager (Alt+F4), as a user quits: Firefox then writes
// its session and add-on database as it does at every quit, which it does not when it is sent SIGTERM.
bool CTestBrowser::quitBrowser() {
    if (!m_browser) {
        return true;
    }
    const qint64 group = m_browser->processId();
    const QDeadlineTimer deadline(kQuitMs);
    while (m_browser->state() != QProcess::NotRunning && !deadline.hasExpired()) {
        runToEnd(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F4")}, QString());
        m_browser->waitForFinished(1500);
    }
    const bool quit = m_browser->state() == QProcess::NotRunning;
    if (!quit) {
        m_browser->terminate();
        if (!m_browser->waitForFinished(10000)) {
            m_browser->kill();
            m_browser->waitForFinished();
        }
    }
    // Helpers the browser left behind (a crash reporter's clean-up, a native host) end with it.
    endGroup(group);
    m_browser.reset();
    return quit;
}

void CTestBrowser::stop() {
    if (m_browser && m_browser->state() != QProcess::NotRunning && m_windowManager &&
        m_windowManager->state() == QProcess::Running) {
        quitBrowser();
    }
    if (m_browser) {
        const qint64 group = m_browser->processId();
        if (m_browser->state() != QProcess::NotRunning) {
            m_browser->terminate();
            if (!m_browser->waitForFinished(10000)) {
                m_browser->kill();
                m_browser->waitForFinished();
            }
        }
        endGroup(group);
        m_browser.reset();
    }
    for (auto* process : {&m_windowManager, &m_xvfb}) {
        if (*process && (*process)->state() != QProcess::NotRunning) {
            (*process)->terminate();
            if (!(*process)->waitForFinished(10000)) {
                (*process)->kill();
                (*process)->waitForFinished();
            }
        }
        process->reset();
    }
    if (m_dbusPid > 0) {
        ::kill(static_cast<pid_t>(m_dbusPid), SIGTERM);
        m_dbusPid = 0;
    }
}
