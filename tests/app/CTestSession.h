#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

#include "CTestHome.h"
#include "support/CRecordingUserInterface.h"

class CFileCatalog;
class CMainFrame;
class MyCug;
class CQuilloryApp;
class CQuilloryDoc;

// The whole program under test in a fresh home folder, with a recording user interface that takes its
// messages and answers its questions. The program is brought up by start() and ended by stop(), as often as
// a test needs, always in the same home, so that a test can check what one run leaves for the next.
class CTestSession final {
public:
    // The new-catalog step of every start and of the new-catalog command.
    enum class Wizard {
        EmptyCatalog,  // a stand-in that finishes at once and leaves an empty catalog without a file
        Finishes,      // a stand-in that finishes at once and leaves the document as it is
        Cancels,       // a stand-in that is cancelled at once
        Real,          // the program's own wizard, for tests that answer its dialog
    };
    struct Setup {
        bool firstStartDone = true;  // "System/FirstExec" is 0: no sample step at start
        bool answerYes = false;      // the answer to questions the test has not scripted
        Wizard wizard = Wizard::EmptyCatalog;
        QVariantMap settings{};  // written to the settings file before the first start
    };

    CTestSession();
    explicit CTestSession(const Setup& setup);
    ~CTestSession();
    CTestSession(const CTestSession&) = delete;
    CTestSession& operator=(const CTestSession&) = delete;

    // Brings the program up with the command-line arguments (without the program name), after ending a
    // running one: a second start is a restart in the same home. False when the program ended before
    // showing its window.
    bool start(const QStringList& arguments = {});
    // Ends the program as its exit does (saving its settings) and destroys it; nothing when none runs. The
    // destructor ends a running program too.
    void stop();
    // From the next start on.
    void setWizard(Wizard wizard) { m_wizard = wizard; }
    // How often a stand-in wizard ran since the last start began.
    int wizardRuns() const { return m_wizardRuns; }

    CTestHome& home() { return m_home; }
    CRecordingUserInterface& ui() { return m_ui; }
    CQuilloryApp& app() { return *m_app; }
    CMainFrame& frame();
    CQuilloryDoc& document();
    CFileCatalog& catalog();
    // The item list's grid.
    MyCug& grid();
    // The texts of a grid column, row by row.
    static QStringList columnTexts(const MyCug& grid, int col);

    // Carries out the command through the main frame, as the menus do; false when it did not run.
    bool run(int command);

    // The folder the catalogs go under by default: the documents folder + "/Quillory".
    QString catalogsFolder() const;
    // A catalog with the categories, written by the program's own writer as catalogsFolder()/name/name.qlry,
    // for tests that start from an existing catalog. Its path, or an empty string when it was not written.
    QString writeCatalog(const QString& name, const QStringList& categories) const;

    // Writes settings to the settings file, as the user's earlier runs would have left them.
    void presetSettings(const QVariantMap& values) const;
    void removeSetting(const QString& key) const;
    // A value of the settings file as another program reads it: what the program has written so far.
    QVariant setting(const QString& key) const;

private:
    CTestHome m_home;
    CRecordingUserInterface m_ui;
    Wizard m_wizard;
    int m_wizardRuns = 0;
    std::unique_ptr<CQuilloryApp> m_app;
};
