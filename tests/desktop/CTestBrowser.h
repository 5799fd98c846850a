#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real browser on a private desktop: Xvfb on a free display, the openbox window manager (which sets the
// active window and the window titles as a user's desktop does) and a D-Bus session bus of its own, with
// Firefox ESR or Chromium started in a fresh home. The environment of this process (HOME, XDG_CONFIG_HOME,
// DISPLAY, DBUS_SESSION_BUS_ADDRESS) points at that home, display and bus while the object lives, so the
// capture looks there. Everything started is stopped by the destructor.
//
// The browser starts as a user starts it: `firefox-esr PAGE` or `chromium PAGE`, making its own profile with
// the default session-store interval and its own first-run tabs (Firefox opens its privacy notice beside
// the page); tabs open by starting the browser again with the page, which hands it to the running instance.
class CTestBrowser final {
public:
    enum class Kind { Firefox, Chromium };

    explicit CTestBrowser(Kind kind);
    ~CTestBrowser();
    CTestBrowser(const CTestBrowser&) = delete;
    CTestBrowser& operator=(const CTestBrowser&) = delete;

    // Before start(): the browser is to run the WebExtension in `extensionDir` (manifest.json and its
    // scripts) and may start `hostProgram` as the native messaging host "quillory_browser_host". Firefox
    // gets it as a sideloaded add-on in the profile it made itself (start() first starts and quits Firefox
    // once for that); Chromium loads the folder unpacked.
    void installExtension(const QString& extensionDir, const QString& hostProgram);

    // "" when the browser started and shows a window; otherwise what went wrong.
    QString start(const QString& firstPage);
    // Opens `page` in a new, selected tab of the running browser ("" on success).
    QString openTab(const QString& page);
    // Opens `page` in a new private (Firefox) or incognito (Chromium) window ("" on success).
    QString openPrivateWindow(const QString& page);
    // Selects the next tab of the active window with Ctrl+Tab, as a user does ("" on success).
    QString switchTab();
    // The title of the active window, as the window manager shows it ("" when there is none).
    QString activeWindowTitle() const;
    // Quits the browser as a user does (closing its windows), then stops the desktop.
    void stop();

    // A page "<name>.html" in the temporary folder with `title`, as a file:// URL.
    QString writePage(const QString& name, const QString& title);
    // The profile the browser uses; for Firefox, "" until Firefox has made it.
    QString profile() const;
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }
    // Where the native messaging host manifest for the browser goes.
    QString hostManifestPath() const;

private:
    QString startDesktop();
    QString startBrowser(const QStringList& arguments);
    QString waitForWindow();
    QString prepareFirefoxExtension();
    bool quitBrowser();
    QString runToEnd(const QString& program, const QStringList& arguments, const QString& what);
    QStringList browserArguments() const;
    QString program() const;

    Kind m_kind;
    QTemporaryDir m_dir;
    QString m_pages;
    QString m_extensionDir;
    QString m_hostProgram;
    qint64 m_dbusPid = 0;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_windowManager;
    std::unique_ptr<QProcess> m_browser;
    QByteArray m_savedHome, m_savedConfig, m_savedDisplay, m_savedBus;
};
