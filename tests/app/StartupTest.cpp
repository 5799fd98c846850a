// The start-up order and its settings, on fresh settings files in a temporary home.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "app/CRecentFileList.h"
#include "gui/CQtUserInterface.h"
#include "gui/CQuilloryDoc.h"
#include "platform/CMemoryProfile.h"

namespace {

const char* const kAskSample = "サンプルファイルを開きますか？";
const char* const kSampleMissing = "サンプルファイルが見つかりません。再度、インストールを行ってください。";

using Wizard = CTestSession::Wizard;

struct Run {
    bool started = false;
    bool frameShown = false;
    int wizardRuns = 0;
    QString openedPath;
    std::vector<std::string> texts;
};

// One whole run of the program: start-up, then exit.
Run runOnce(CTestSession& session, const QStringList& arguments = {}) {
    Run run;
    session.ui().clear();
    run.started = session.start(arguments);
    run.openedPath = session.document().pathName();
    run.frameShown = run.started && session.frame().isVisible();
    run.wizardRuns = session.wizardRuns();
    session.stop();
    run.texts = session.ui().texts();
    return run;
}

}  // namespace

class StartupTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartWithoutSampleTellsTheUserAndGoesOn();
    void firstStartOffersTheSampleOnce();
    void yesOpensTheSampleAndRemembersIt();
    void emptyTextFileListIsRefilled();
    void withoutRecentCatalogTheWizardRunsAndCancellingEndsTheProgram();
    void commandLineCatalogIsOpened();
    void sampleCatalogOpensWithItsItemsAndCategories();
    void firstStartQuestionHasJapaneseButtons();
};

void StartupTest::firstStartWithoutSampleTellsTheUserAndGoesOn() {
    CTestSession session({.firstStartDone = false, .wizard = Wizard::Finishes});
    const Run run = runOnce(session);
    QVERIFY(run.started);
    QVERIFY(run.frameShown);
    QCOMPARE(run.texts, std::vector<std::string>{kSampleMissing});
    QCOMPARE(run.wizardRuns, 1);  // no recent catalog: the new-catalog step
    QCOMPARE(session.setting("System/FirstExec").toInt(), 0);
    QVERIFY(QFile::exists(session.home().settingsFile()));
}

void StartupTest::firstStartOffersTheSampleOnce() {
    CTestSession session({.firstStartDone = false, .wizard = Wizard::Finishes});
    CTestHome::touch(session.home().documents() + "/Quillory/Sample3/Sample3.qlry");

    const Run first = runOnce(session);
    QVERIFY(first.started);
    QCOMPARE(first.texts, std::vector<std::string>{kAskSample});
    QCOMPARE(session.ui().shown().front().kind, CRecordingUserInterface::Shown::Kind::YesNo);
    QCOMPARE(session.setting("System/FirstExec").toInt(), 0);  // even though the answer was No
    QVERIFY(first.openedPath.isEmpty());

    const Run second = runOnce(session);
    QVERIFY(second.started);
    QVERIFY(second.texts.empty());
    QCOMPARE(second.wizardRuns, 1);

    // The command opens the sample at any time.
    session.ui().scriptAnswers({true});
    session.setWizard(Wizard::EmptyCatalog);
    QVERIFY(session.start());
    session.app().onCommand(32950);
    QCOMPARE(session.document().pathName(), session.home().documents() + "/Quillory/Sample3/Sample3.qlry");
}

void StartupTest::yesOpensTheSampleAndRemembersIt() {
    CTestSession session({.firstStartDone = false, .answerYes = true, .wizard = Wizard::Finishes});
    const QString sample = session.home().documents() + "/Quillory/Sample3/Sample3.qlry";
    CTestHome::touch(sample);

    const Run first = runOnce(session);
    QVERIFY(first.started);
    QCOMPARE(first.openedPath, sample);
    QCOMPARE(first.wizardRuns, 0);  // the sample was opened: straight to the window
    QCOMPARE(session.setting("Recent File List/File1").toString(), sample);
    // Whatever the system's locale, the program's is Japanese: the web view's own pages (error pages,
    // folder listings, media controls) take their language from it.
    QCOMPARE(QLocale().language(), QLocale::Japanese);

    // The next start opens the most recent catalog without asking anything.
    const Run second = runOnce(session);
    QCOMPARE(second.openedPath, sample);
    QVERIFY(second.texts.empty());
    QCOMPARE(second.wizardRuns, 0);

    // A recent catalog that was deleted meanwhile: the wizard runs instead of an error.
    QVERIFY(QFile::remove(sample));
    const Run third = runOnce(session);
    QVERIFY(third.started);
    QCOMPARE(third.wizardRuns, 1);
    QVERIFY(third.texts.empty());
}

void StartupTest::emptyTextFileListIsRefilled() {
    CTestSession session({.settings = {{"TextFile/Count", 0},
                                       {"NoPreview/Count", 2},
                                       {"NoPreview/Ext00", "exe"},
                                       {"NoPreview/Ext01", "ZIP"}}});
    QVERIFY(session.start());
    CQuilloryApp& app = session.app();
    QCOMPARE(app.textFileExtensions().extensions(), (std::vector<std::string>{"txt", "htm", "html"}));
    QVERIFY(app.noPreviewExtensions().contains("zip"));
    QVERIFY(app.noPreviewExtensions().contains("EXE"));
    QVERIFY(!app.noPreviewExtensions().contains("txt"));
    app.noPreviewExtensions().add("iso");
    session.stop();
    QCOMPARE(session.setting("TextFile/Count").toInt(), 3);
    QCOMPARE(session.setting("TextFile/Ext00").toString(), QString("txt"));
    QCOMPARE(session.setting("TextFile/Ext02").toString(), QString("html"));
    QCOMPARE(session.setting("NoPreview/Count").toInt(), 3);
    QCOMPARE(session.setting("NoPreview/Ext02").toString(), QString("iso"));
}

void StartupTest::withoutRecentCatalogTheWizardRunsAndCancellingEndsTheProgram() {
    CTestSession session({.wizard = Wizard::Cancels, .settings = {{"System/InitFile", 0}}});
    const Run cancelled = runOnce(session);
    QVERIFY(!cancelled.started);
    QVERIFY(!cancelled.frameShown);
    QCOMPARE(cancelled.wizardRuns, 1);

    session.presetSettings({{"System/InitFile", 1}});
    const Run cancelledAgain = runOnce(session);
    QVERIFY(!cancelledAgain.started);
    session.setWizard(Wizard::Finishes);
    const Run completed = runOnce(session);
    QVERIFY(completed.started);
}

void StartupTest::commandLineCatalogIsOpened() {
    CTestSession session({.wizard = Wizard::Finishes});
    const QString catalog = session.home().path() + "/Books/Books.qlry";
    CTestHome::touch(catalog);
    const Run run = runOnce(session, {catalog});
    QVERIFY(run.started);
    QCOMPARE(run.openedPath, catalog);
    QCOMPARE(run.wizardRuns, 0);

    // A named file that cannot be opened ends the program before any window shows.
    const Run missing = runOnce(session, {session.home().path() + "/nothing.qlry"});
    QVERIFY(!missing.started);

    // The recent-file list holds 4 entries, most recent first, and writes them at once.
    CMemoryProfile profile;
    CRecentFileList recent(profile);
    for (const char* path : {"/c/a.qlry", "/c/b.qlry", "/c/c.qlry", "/c/d.qlry", "/c/e.qlry", "/c/b.qlry"}) {
        recent.add(path);
    }
    QCOMPARE(recent.paths(), (QStringList{"/c/b.qlry", "/c/e.qlry", "/c/d.qlry", "/c/c.qlry"}));
    QCOMPARE(profile.readString("Recent File List", "File1", ""), std::string("/c/b.qlry"));
    QCOMPARE(profile.readString("Recent File List", "File4", ""), std::string("/c/c.qlry"));
    CRecentFileList reloaded(profile);
    reloaded.load();
    QCOMPARE(reloaded.paths(), recent.paths());
}

void StartupTest::sampleCatalogOpensWithItsItemsAndCategories() {
    CTestSession session({.firstStartDone = false, .answerYes = true});
    const QString target = session.home().documents() + "/Quillory/Sample3";
    QVERIFY(QDir().mkpath(target));
    QCOMPARE(QProcess::execute("cp", {"-r", QUILLORY_SOURCE_DIR "/data/sample/Sample3/.", target}), 0);
    QVERIFY(session.start());
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kAskSample});
    const CFileCatalog& catalog = session.catalog();
    QCOMPARE(catalog.itemCount(), 15);
    QCOMPARE(session.document().categoryNames(), (QStringList{"種類", "季節", "場所", "評価"}));
    // The catalog stores relative paths: its items are found in the folder it was copied to.
    int found = 0;
    for (const auto& item : catalog.items()) {
        found += QFileInfo::exists(QString::fromStdString(std::string(item->path())));
    }
    QCOMPARE(found, 12);  // all but the three web addresses
    QCOMPARE(session.frame().windowTitle(), QString("Sample3.qlry - Quillory"));
    session.frame().onInitMenu();
    QMenu* sort = session.frame().menuBar()->actions().at(3)->menu()->actions().at(7)->menu();
    QCOMPARE(sort->actions().at(6)->text(), QString("種類"));
    QCOMPARE(sort->actions().at(9)->text(), QString("評価"));
}

void StartupTest::firstStartQuestionHasJapaneseButtons() {
    CTestSession session({.firstStartDone = false});
    CTestHome::touch(session.home().documents() + "/Quillory/Sample3/Sample3.qlry");
    CQtUserInterface messageBoxes;
    CUserInterface::install(&messageBoxes);
    QStringList question;
    QStringList buttons;
    // Reads the first message box that opens and answers it with No, as a user would.
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            return;
        }
        poll.stop();
        question.append(box->text());
        for (QAbstractButton* button : box->buttons()) {
            buttons.append(button->text());
        }
        box->button(QMessageBox::No)->click();
    });
    poll.start(20);
    QVERIFY(session.start());
    session.stop();
    CUserInterface::install(&session.ui());
    QCOMPARE(question, QStringList{QString::fromUtf8(kAskSample)});
    QCOMPARE(buttons.size(), 2);
    QVERIFY2(buttons.join(' ').contains(QStringLiteral("はい")), qPrintable(buttons.join(' ')));
    QVERIFY2(buttons.join(' ').contains(QStringLiteral("いいえ")), qPrintable(buttons.join(' ')));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
