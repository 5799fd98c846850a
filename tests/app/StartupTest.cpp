// The start-up order and its settings, on fresh settings files in a temporary home.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "CTestHome.h"
#include "EmptyCatalogWizard.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "app/CRecentFileList.h"
#include "gui/CQtUserInterface.h"
#include "gui/CQuilloryDoc.h"
#include "platform/CMemoryProfile.h"
#include "support/CRecordingUserInterface.h"

namespace {

const char* const kAskSample = "サンプルファイルを開きますか？";
const char* const kSampleMissing = "サンプルファイルが見つかりません。再度、インストールを行ってください。";

// The settings file as another program would read it after the run.
QVariant stored(const CTestHome& home, const QString& key) {
    QSettings file(home.settingsFile(), QSettings::IniFormat);
    return file.value(key);
}

struct Run {
    bool started = false;
    bool frameShown = false;
    int wizardRuns = 0;
    QString openedPath;
    std::vector<std::string> texts;
};

// One whole run of the program: start-up, then exit. The wizard answers `wizardCompletes`.
Run runOnce(CRecordingUserInterface& ui, const QStringList& arguments = {}, bool wizardCompletes = true) {
    Run run;
    ui.clear();
    {
        CQuilloryApp app;
        app.setNewCatalogWizard([&run, wizardCompletes](CQuilloryDoc&) {
            ++run.wizardRuns;
            return wizardCompletes;
        });
        run.started = app.initInstance(arguments);
        run.openedPath = app.document().pathName();
        run.frameShown = run.started && app.mainFrame()->isVisible();
        app.exitInstance();
    }
    run.texts = ui.texts();
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
    CTestHome home;
    CRecordingUserInterface ui(false);
    const Run run = runOnce(ui);
    QVERIFY(run.started);
    QVERIFY(run.frameShown);
    QCOMPARE(run.texts, std::vector<std::string>{kSampleMissing});
    QCOMPARE(run.wizardRuns, 1);  // no recent catalog: the new-catalog step
    QCOMPARE(stored(home, "System/FirstExec").toInt(), 0);
    QVERIFY(QFile::exists(home.settingsFile()));
}

void StartupTest::firstStartOffersTheSampleOnce() {
    CTestHome home;
    CTestHome::touch(home.documents() + "/Quillory/Sample3/Sample3.qlry");
    CRecordingUserInterface ui(false);

    const Run first = runOnce(ui);
    QVERIFY(first.started);
    QCOMPARE(first.texts, std::vector<std::string>{kAskSample});
    QCOMPARE(ui.shown().front().kind, CRecordingUserInterface::Shown::Kind::YesNo);
    QCOMPARE(stored(home, "System/FirstExec").toInt(), 0);  // even though the answer was No
    QVERIFY(first.openedPath.isEmpty());

    const Run second = runOnce(ui);
    QVERIFY(second.started);
    QVERIFY(second.texts.empty());
    QCOMPARE(second.wizardRuns, 1);

    // The command opens the sample at any time.
    ui.scriptAnswers({true});
    CQuilloryApp app;
    app.setNewCatalogWizard(startEmptyCatalog);
    QVERIFY(app.initInstance({}));
    app.onCommand(32950);
    QCOMPARE(app.document().pathName(), home.documents() + "/Quillory/Sample3/Sample3.qlry");
    app.exitInstance();
}

void StartupTest::yesOpensTheSampleAndRemembersIt() {
    CTestHome home;
    const QString sample = home.documents() + "/Quillory/Sample3/Sample3.qlry";
    CTestHome::touch(sample);
    CRecordingUserInterface ui(true);

    const Run first = runOnce(ui);
    QVERIFY(first.started);
    QCOMPARE(first.openedPath, sample);
    QCOMPARE(first.wizardRuns, 0);  // the sample was opened: straight to the window
    QCOMPARE(stored(home, "Recent File List/File1").toString(), sample);

    // The next start opens the most recent catalog without asking anything.
    const Run second = runOnce(ui);
    QCOMPARE(second.openedPath, sample);
    QVERIFY(second.texts.empty());
    QCOMPARE(second.wizardRuns, 0);

    // A recent catalog that was deleted meanwhile: the wizard runs instead of an error.
    QVERIFY(QFile::remove(sample));
    const Run third = runOnce(ui);
    QVERIFY(third.started);
    QCOMPARE(third.wizardRuns, 1);
    QVERIFY(third.texts.empty());
}

void StartupTest::emptyTextFileListIsRefilled() {
    CTestHome home;
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        file.setValue("System/FirstExec", 0);
        file.setValue("TextFile/Count", 0);
        file.setValue("NoPreview/Count", 2);
        file.setValue("NoPreview/Ext00", "exe");
        file.setValue("NoPreview/Ext01", "ZIP");
    }
    CRecordingUserInterface ui(false);
    {
        CQuilloryApp app;
        app.setNewCatalogWizard(startEmptyCatalog);
        QVERIFY(app.initInstance({}));
        QCOMPARE(app.textFileExtensions().extensions(), (std::vector<std::string>{"txt", "htm", "html"}));
        QVERIFY(app.noPreviewExtensions().contains("zip"));
        QVERIFY(app.noPreviewExtensions().contains("EXE"));
        QVERIFY(!app.noPreviewExtensions().contains("txt"));
        app.noPreviewExtensions().add("iso");
        app.exitInstance();
    }
    QCOMPARE(stored(home, "TextFile/Count").toInt(), 3);
    QCOMPARE(stored(home, "TextFile/Ext00").toString(), QString("txt"));
    QCOMPARE(stored(home, "TextFile/Ext02").toString(), QString("html"));
    QCOMPARE(stored(home, "NoPreview/Count").toInt(), 3);
    QCOMPARE(stored(home, "NoPreview/Ext02").toString(), QString("iso"));
}

void StartupTest::withoutRecentCatalogTheWizardRunsAndCancellingEndsTheProgram() {
    CTestHome home;
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        file.setValue("System/FirstExec", 0);
        file.setValue("System/InitFile", 0);
    }
    CRecordingUserInterface ui(false);
    const Run cancelled = runOnce(ui, {}, false);
    QVERIFY(!cancelled.started);
    QVERIFY(!cancelled.frameShown);
    QCOMPARE(cancelled.wizardRuns, 1);

    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        file.setValue("System/InitFile", 1);
    }
    const Run cancelledAgain = runOnce(ui, {}, false);
    QVERIFY(!cancelledAgain.started);
    const Run completed = runOnce(ui, {}, true);
    QVERIFY(completed.started);
}

void StartupTest::commandLineCatalogIsOpened() {
    CTestHome home;
    const QString catalog = home.path() + "/Books/Books.qlry";
    CTestHome::touch(catalog);
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        file.setValue("System/FirstExec", 0);
    }
    CRecordingUserInterface ui(false);
    const Run run = runOnce(ui, {catalog});
    QVERIFY(run.started);
    QCOMPARE(run.openedPath, catalog);
    QCOMPARE(run.wizardRuns, 0);

    // A named file that cannot be opened ends the program before any window shows.
    const Run missing = runOnce(ui, {home.path() + "/nothing.qlry"});
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
    CTestHome home;
    const QString target = home.documents() + "/Quillory/Sample3";
    QVERIFY(QDir().mkpath(target));
    QCOMPARE(QProcess::execute("cp", {"-r", QUILLORY_SOURCE_DIR "/data/sample/Sample3/.", target}), 0);
    CRecordingUserInterface ui(true);
    CQuilloryApp app;
    app.setNewCatalogWizard(startEmptyCatalog);
    QVERIFY(app.initInstance({}));
    QCOMPARE(ui.texts(), std::vector<std::string>{kAskSample});
    const CFileCatalog& catalog = app.document().catalog();
    QCOMPARE(catalog.itemCount(), 15);
    QCOMPARE(app.document().categoryNames(), (QStringList{"種類", "季節", "場所", "評価"}));
    // The catalog stores relative paths: its items are found in the folder it was copied to.
    int found = 0;
    for (const auto& item : catalog.items()) {
        found += QFileInfo::exists(QString::fromStdString(item->path()));
    }
    QCOMPARE(found, 12);  // all but the three web addresses
    QCOMPARE(app.mainFrame()->windowTitle(), QString("Sample3.qlry - Quillory"));
    app.mainFrame()->onInitMenu();
    QMenu* sort = app.mainFrame()->menuBar()->actions().at(3)->menu()->actions().at(7)->menu();
    QCOMPARE(sort->actions().at(6)->text(), QString("種類"));
    QCOMPARE(sort->actions().at(9)->text(), QString("評価"));
    app.exitInstance();
}

void StartupTest::firstStartQuestionHasJapaneseButtons() {
    CTestHome home;
    CTestHome::touch(home.documents() + "/Quillory/Sample3/Sample3.qlry");
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
    {
        CQuilloryApp app;
        app.setNewCatalogWizard(startEmptyCatalog);
        QVERIFY(app.initInstance({}));
        app.exitInstance();
    }
    CUserInterface::install(nullptr);
    QCOMPARE(question, QStringList{QString::fromUtf8(kAskSample)});
    QCOMPARE(buttons.size(), 2);
    QVERIFY2(buttons.join(' ').contains(QStringLiteral("はい")), qPrintable(buttons.join(' ')));
    QVERIFY2(buttons.join(' ').contains(QStringLiteral("いいえ")), qPrintable(buttons.join(' ')));
}

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
