#include "CTestBrowser.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace {

constexpr int kStartMs = 30000;

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// The second tab comes from the page: it asks for "go.txt" beside it and opens the tab when that file
// appears, so the test decides when. Firefox allows both through the preferences below.
const char* const kPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>%1</title>
<script>
setInterval(function () {
  var request = new XMLHttpRequest();
  request.onload = function () {
    var next = request.responseText.trim();
    if (next && next != location.href && !window.opened) { window.opened = true; window.open(next); }
  };
  request.open("GET", "go.txt?" + Date.now());
  try { request.send(); } catch (e) {}
}, 200);
</script></head><body><p>%1</p></body></html>
)";

const char* const kFirefoxPreferences = R"(user_pref("browser.sessionstore.interval", 500);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.enabled", false);
user_pref("dom.disable_open_during_load", false);
user_pref("security.fileuri.strict_origin_policy", false);
user_pref("browser.link.open_newwindow", 3);
user_pref("browser.link.open_newwindow.restriction", 0);
)";

QStringList chromiumFlags(const QString& userData) {
    return {QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
            QStringLiteral("--disable-sync"), QStringLiteral("--password-store=basic"),
            QStringLiteral("--user-data-dir=") + userData};
}

}  // namespace

CTestBrowser::CTestBrowser(Kind kind) : m_kind(kind) {
    m_savedHome = qgetenv("HOME");
    m_savedConfig = qgetenv("XDG_CONFIG_HOME");
    m_savedDisplay = qgetenv("DISPLAY");
    m_pages = m_dir.path() + QStringLiteral("/pages");
    QDir().mkpath(m_pages);
    QDir().mkpath(home() + QStringLiteral("/.config"));
    qputenv("HOME", home().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home() + QStringLiteral("/.config")).toUtf8());
    m_profile = kind == Kind::Firefox ? home() + QStringLiteral("/.mozilla/firefox/test.default")
                                      : home() + QStringLiteral("/.config/chromium/Default");
}

CTestBrowser::~CTestBrowser() {
    stop();
    qputenv("HOME", m_savedHome);
    qputenv("XDG_CONFIG_HOME", m_savedConfig);
    if (m_savedDisplay.isEmpty()) {
        qunsetenv("DISPLAY");
    } else {
        qputenv("DISPLAY", m_savedDisplay);
    }
}

QString CTestBrowser::writePage(const QString& name, const QString& title) {
    const QString path = m_pages + QLatin1Char('/') + name + QStringLiteral(".html");
    writeFile(path, QString::fromUtf8(kPage).arg(title).toUtf8());
    return QStringLiteral("file://") + path;
}

QString CTestBrowser::startXvfb() {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty()) {
        return QStringLiteral("Xvfb is not installed (tools/install-deps.sh test)");
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
    return {};
}

QString CTestBrowser::start(const QString& firstPage) {
    if (const QString error = startXvfb(); !error.isEmpty()) {
        return error;
    }
    const QString program = m_kind == Kind::Firefox ? QStringLiteral("firefox-esr") : QStringLiteral("chromium");
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        return program + QStringLiteral(" is not installed (tools/install-deps.sh test)");
    }
    QStringList arguments;
    if (m_kind == Kind::Firefox) {
        const QString root = home() + QStringLiteral("/.mozilla/firefox");
        writeFile(root + QStringLiteral("/profiles.ini"),
                  "[Profile0]\nName=test\nIsRelative=1\nPath=test.default\nDefault=1\n\n"
                  "[General]\nStartWithLastProfile=1\nVersion=2\n");
        writeFile(m_profile + QStringLiteral("/user.js"), kFirefoxPreferences);
        arguments = {QStringLiteral("--no-remote"), QStringLiteral("--profile"), m_profile, firstPage};
    } else {
        arguments = chromiumFlags(home() + QStringLiteral("/.config/chromium"));
        arguments << firstPage;
    }
    m_browser = std::make_unique<QProcess>();
    m_browser->setStandardErrorFile(QProcess::nullDevice());
    m_browser->setStandardOutputFile(QProcess::nullDevice());
    m_browser->start(program, arguments);
    if (!m_browser->waitForStarted(kStartMs)) {
        return program + QStringLiteral(" did not start: ") + m_browser->errorString();
    }
    return {};
}

QString CTestBrowser::openTab(const QString& page) {
    if (m_kind == Kind::Firefox) {
        // Firefox's command-line remote needs a session bus; the page opens the tab instead.
        return writeFile(m_pages + QStringLiteral("/go.txt"), page.toUtf8()) ? QString()
                                                                              : QStringLiteral("cannot write go.txt");
    }
    // A second Chromium on the same user data folder hands the page to the running one, in a new tab.
    QProcess second;
    second.setStandardOutputFile(QProcess::nullDevice());
    second.setStandardErrorFile(QProcess::nullDevice());
    second.start(QStringLiteral("chromium"), chromiumFlags(home() + QStringLiteral("/.config/chromium")) << page);
    if (!second.waitForFinished(kStartMs)) {
        second.kill();
        second.waitForFinished();
        return QStringLiteral("chromium did not hand the page over");
    }
    return {};
}

void CTestBrowser::stop() {
    for (auto* process : {&m_browser, &m_xvfb}) {
        if (*process && (*process)->state() != QProcess::NotRunning) {
            (*process)->terminate();
            if (!(*process)->waitForFinished(10000)) {
                (*process)->kill();
                (*process)->waitForFinished();
            }
        }
        process->reset();
    }
}
