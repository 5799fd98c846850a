#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real browser on a private X server: Xvfb on a free display, and Firefox ESR or Chromium with a fresh
// profile in a temporary home, found where the user's own browser keeps it. The environment of this
// process (HOME, XDG_CONFIG_HOME, DISPLAY) points at that home and display while the object lives, so the
// capture looks there. Everything started is stopped by the destructor.
class CTestBrowser final {
public:
    enum class Kind { Firefox, Chromium };

    explicit CTestBrowser(Kind kind);
    ~CTestBrowser();
    CTestBrowser(const CTestBrowser&) = delete;
    CTestBrowser& operator=(const CTestBrowser&) = delete;

    // "" when the browser started; otherwise what went wrong.
    QString start(const QString& firstPage);
    // Opens `page` in a new, selected tab of the running browser ("" on success).
    QString openTab(const QString& page);
    void stop();

    // A page "<name>.html" in the temporary folder with `title`, as a file:// URL.
    QString writePage(const QString& name, const QString& title);
    QString profile() const { return m_profile; }
    QString home() const { return m_dir.path() + QStringLiteral("/home"); }

private:
    QString startXvfb();

    Kind m_kind;
    QTemporaryDir m_dir;
    QString m_profile;
    QString m_pages;
    std::unique_ptr<QProcess> m_xvfb;
    std::unique_ptr<QProcess> m_browser;
    QByteArray m_savedHome, m_savedConfig, m_savedDisplay;
};
