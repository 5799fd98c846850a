#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "CTestHome.h"
#include "support/CRecordingUserInterface.h"

class CFileCatalog;
class CMainFrame;
class CQuilloryApp;
class CQuilloryDoc;

// The whole program under test in a fresh home folder, past its first start, with a recording user
// interface that takes its messages and answers its questions. The program itself is made by start(), so
// that a test can bring up and end another one first.
class CTestSession final {
public:
    CTestSession();
    ~CTestSession();

    // Brings the program up with the command-line arguments; a new catalog goes through the real wizard.
    bool start(const QStringList& arguments = {});
    // Brings the program up without arguments; its new-catalog step leaves an empty catalog without a file
    // at once.
    bool startWithEmptyCatalog();

    CTestHome& home() { return m_home; }
    CRecordingUserInterface& ui() { return m_ui; }
    CQuilloryApp& app() { return *m_app; }
    CMainFrame& frame();
    CQuilloryDoc& document();
    CFileCatalog& catalog();

    // Carries out the command through the main frame, as the menus do; false when it did not run.
    bool run(int command);

    // The folder the catalogs go under by default: the documents folder + "/Quillory".
    QString catalogsFolder() const;
    // A catalog with the categories, written by the program's own writer as catalogsFolder()/name/name.qlry,
    // for tests that start from an existing catalog. Its path, or an empty string when it was not written.
    QString writeCatalog(const QString& name, const QStringList& categories) const;
    // A value of the program's settings file.
    QString setting(const QString& key) const;

private:
    CTestHome m_home;
    CRecordingUserInterface m_ui{false};
    std::unique_ptr<CQuilloryApp> m_app;
};
