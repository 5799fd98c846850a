// The life of the catalog document through the whole program: a catalog made with the new-catalog wizard,
// opened from the catalog list, saved, saved under another name, renamed, undone and redone, the question
// about unsaved changes, and the failures of reading and writing, on real files in a temporary home.

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include "CHintRecorder.h"
#include "CTestHome.h"
#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "app/CRecentFileList.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "dialogs/CCatalogDlg.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CNewCatalogWizard.h"
#include "dialogs/CNewCategoryPage.h"
#include "dialogs/CNewDirPage.h"
#include "dialogs/CRenameDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CQtUserInterface.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "gui/UpdateHints.h"
#include "model/CFileItem.h"
#include "support/CRecordingUserInterface.h"

namespace {

using Kind = CRecordingUserInterface::Shown::Kind;
using Texts = std::vector<std::string>;

// These tests answer the program's own new-catalog wizard.
const CTestSession::Setup kRealWizard{.wizard = CTestSession::Wizard::Real};

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text in code page 932 as iconv writes it.
QByteArray cp932(const QString& text) {
    QProcess iconv;
    iconv.start("iconv", {"-f", "UTF-8", "-t", "CP932"});
    iconv.write(text.toUtf8());
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    return iconv.readAllStandardOutput();
}

void shell(const QString& command) {
    QCOMPARE(QProcess::execute("sh", {"-c", command}), 0);
}

// The catalog file as a fresh reader sees it.
int itemsOnDisk(const QString& path) {
    CFileCatalog catalog;
    return CCatalogFile::read(catalog, path.toStdString()) ? -1 : catalog.itemCount();
}

// One change in the document's order: undo point, change, recompute, modified, hint.
void addItem(CQuilloryDoc& document, const QString& path) {
    CFileCatalog& catalog = document.catalog();
    document.recordUndoPoint();
    std::unique_ptr<CFileItem> item = catalog.newItem(false);
    item->setPath(path.toStdString(), catalog.catalogFolder(), catalog.useShortcuts());
    catalog.addItem(std::move(item));
    document.finishChange(hint::kItemAdded);
}

void pressNext(QWizard& wizard) {
    QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
}

// Fills in the wizard as a user would: the name, next, the categories one by one, next, finish.
void finishWizard(CNewCatalogWizard& wizard, const QString& name, const QStringList& categories) {
    typeText(child<QLineEdit>(wizard.dirPage(), "catalogName"), name);
    pressNext(wizard);
    for (const QString& category : categories) {
        typeText(child<QLineEdit>(wizard.categoryPage(), "categoryName"), category);
        QTest::mouseClick(child<QPushButton>(wizard.categoryPage(), "addButton"), Qt::LeftButton);
    }
    pressNext(wizard);
    QTest::mouseClick(wizard.button(QWizard::FinishButton), Qt::LeftButton);
}

void finishNextWizard(const QString& name, const QStringList& categories) {
    whenShown<CNewCatalogWizard>(
        [name, categories](CNewCatalogWizard& wizard) { finishWizard(wizard, name, categories); });
}

void cancelNextWizard() {
    whenShown<CNewCatalogWizard>([](CNewCatalogWizard& wizard) { wizard.reject(); });
}

// Chooses the catalog of the name in the catalog list and confirms.
void chooseInCatalogList(CCatalogDlg& dialog, const QString& name) {
    const QList<QTreeWidgetItem*> rows =
        dialog.list().findItems(name, Qt::MatchExactly, CCatalogDlg::kNameColumn);
    QCOMPARE(rows.size(), 1);
    dialog.list().setCurrentItem(rows.front());
    clickButton(dialog, QDialogButtonBox::Ok);
}

// What the rename dialog showed when it opened.
struct RenameDialogSeen {
    QString title;
    QString explanation;
    QString currentName;
    QString newName;
    QString folder;
};

// Answers the next rename dialog: notes what it shows, types the new name, picks the folder through its
// folder button, and confirms.
void answerRenameDialog(const QString& newName, const QString& folder, RenameDialogSeen* seen = nullptr) {
    if (seen) {
        *seen = RenameDialogSeen{};
    }
    whenShown<CRenameDlg>([newName, folder, seen](CRenameDlg& dialog) {
        auto* edit = child<QLineEdit>(dialog, "newName");
        if (seen) {
            *seen = RenameDialogSeen{dialog.windowTitle(), child<QLabel>(dialog, "explanation")->text(),
                                     child<QLineEdit>(dialog, "currentName")->text(), edit->text(),
                                     dialog.folderBox().currentFolder()};
        }
        edit->clear();
        typeText(edit, newName);
        dialog.folderBox().setFolderPicker(
            [folder](QWidget*, const QString&) { return std::optional<QString>(folder); });
        QTest::mouseClick(child<QPushButton>(dialog, "browseButton"), Qt::LeftButton);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
}

// A folder that nobody may write into, root included: immutable for root, without write permission for
// anyone else. Writable again at the end of its scope.
class CReadOnlyFolder final {
public:
    explicit CReadOnlyFolder(QString folder) : m_folder(std::move(folder)) { setReadOnly(true); }
    ~CReadOnlyFolder() { setReadOnly(false); }

private:
    void setReadOnly(bool readOnly) {
        if (::geteuid() == 0) {
            QProcess::execute("chattr", {readOnly ? "+i" : "-i", m_folder});
        } else {
            QFile::setPermissions(m_folder, readOnly
                                                ? QFile::ReadOwner | QFile::ExeOwner
                                                : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    QString m_folder;
};

// The message of a save into a file that cannot be written.
std::string notWritable(const QString& path) {
    return (path + " は使用中または読み取り専用のため、書き込めません。").toStdString();
}

const char* const kFormatError = "予期しないﾌｧｲﾙ形式です。";
const char* const kOpenCatalogNotRenamed =
    "現在開いているカタログの名前変更はここではできません。[ファイル]-[現在のカタログ名変更]で可能です";

}  // namespace

class DocumentLifecycleTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wizardCreatesTheCatalogAndTheCatalogListOpensAnother();
    void unsavedChangesAreSavedDroppedOrKept();
    void saveAsCopiesTheFolderAndRenameMovesIt();
    void undoAndRedoRestoreAndMarkModified();
    void unreadableFilesLeaveAnEmptyDocument();
    void failedSaveKeepsTheOldFileAndChangesOnDiskAreNotOverwrittenUnasked();
};

void DocumentLifecycleTest::wizardCreatesTheCatalogAndTheCatalogListOpensAnother() {
    CTestSession session(kRealWizard);
    CRecordingUserInterface& ui = session.ui();
    const QString parent = session.catalogsFolder();
    const QString books = parent + "/本/本.qlry";

    // No recent catalog: the start-up runs the wizard; cancelled, the program ends before any window shows.
    cancelNextWizard();
    QVERIFY(!session.start());
    QVERIFY(!session.frame().isVisible());
    session.stop();

    // Finished, it sets up the catalog and saves it at once.
    QString wizardTitle;
    whenShown<CNewCatalogWizard>([&](CNewCatalogWizard& wizard) {
        wizardTitle = wizard.windowTitle();
        finishWizard(wizard, "本", {"著者", "分類", "出版社"});
    });
    QVERIFY(session.start());
    QCOMPARE(wizardTitle, QString("新規作成"));
    CQuilloryApp& app = session.app();
    CQuilloryDoc& document = session.document();
    QCOMPARE(document.pathName(), books);
    QVERIFY(!document.isModified());
    QCOMPARE(document.categoryNames(), (QStringList{"著者", "分類", "出版社"}));
    QCOMPARE(app.recentFiles().at(0), books);
    QCOMPARE(session.frame().windowTitle(), QString("本.qlry - Quillory"));
    QVERIFY(session.frame().isVisible());
    // The file holds the category names in code page 932, in the order they were entered.
    const QByteArray saved = bytesOf(books);
    const qsizetype author = saved.indexOf(cp932("著者"));
    const qsizetype kind = saved.indexOf(cp932("分類"));
    const qsizetype publisher = saved.indexOf(cp932("出版社"));
    QVERIFY(author > 0 && author < kind && kind < publisher);
    QVERIFY(ui.texts().empty());

    // A second catalog through the new command; the first one stays in the recent list below it.
    const QString films = parent + "/映画/映画.qlry";
    finishNextWizard("映画", {"監督"});
    QVERIFY(session.run(cmd::kFileNew));
    QCOMPARE(document.pathName(), films);
    QCOMPARE(document.categoryNames(), QStringList{"監督"});
    QCOMPARE(app.recentFiles().paths(), (QStringList{films, books}));
    QVERIFY(QFileInfo::exists(films));

    // A cancelled wizard leaves the catalog as it was.
    addItem(document, session.home().path() + "/a.txt");
    ui.scriptThreeWayAnswers({Answer::No});
    cancelNextWizard();
    QVERIFY(session.run(cmd::kFileNew));
    QCOMPARE(document.pathName(), films);
    QCOMPARE(document.catalog().itemCount(), 1);
    QCOMPARE(session.frame().windowTitle(), QString("映画.qlry - Quillory"));

    // Open: the catalog list lists both, refuses to rename the open catalog, and opens the chosen one.
    ui.clear();
    ui.scriptThreeWayAnswers({Answer::No});
    QStringList listed;
    whenShown<CCatalogDlg>([&](CCatalogDlg& dialog) {
        for (int row = 0; row < dialog.list().topLevelItemCount(); ++row) {
            listed.append(dialog.list().topLevelItem(row)->text(CCatalogDlg::kNameColumn));
        }
        dialog.list().setCurrentItem(dialog.list().findItems("映画", Qt::MatchExactly).front());
        QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
        chooseInCatalogList(dialog, "本");
    });
    QVERIFY(session.run(cmd::kFileOpen));
    listed.sort();
    QCOMPARE(listed, (QStringList{"映画", "本"}));
    // The catalog is chosen first; the question about the unsaved one comes before it is closed.
    QCOMPARE(ui.texts(), (Texts{kOpenCatalogNotRenamed, "映画.qlry への変更を保存しますか?"}));
    QCOMPARE(document.pathName(), books);
    QCOMPARE(document.categoryNames(), (QStringList{"著者", "分類", "出版社"}));
    QVERIFY(!document.isModified());
    QCOMPARE(itemsOnDisk(films), 0);  // the answer was No

    // The wizard's open-existing branch skips the other pages and opens the chosen catalog; its catalog
    // list refuses to rename the open catalog too.
    ui.clear();
    whenShown<CNewCatalogWizard>([](CNewCatalogWizard& wizard) {
        whenShown<CCatalogDlg>([](CCatalogDlg& dialog) {
            dialog.list().setCurrentItem(dialog.list().findItems("本", Qt::MatchExactly).front());
            QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
            chooseInCatalogList(dialog, "映画");
        });
        QTest::mouseClick(child<QPushButton>(wizard.dirPage(), "openExistingButton"), Qt::LeftButton);
    });
    QVERIFY(session.run(cmd::kFileNew));
    QCOMPARE(document.pathName(), films);
    QCOMPARE(document.categoryNames(), QStringList{"監督"});
    QCOMPARE(app.recentFiles().at(0), films);
    QCOMPARE(ui.texts(), Texts{kOpenCatalogNotRenamed});
    QVERIFY(QFileInfo::exists(books));
    QVERIFY(QApplication::overrideCursor() == nullptr);  // no wait cursor left behind
    session.stop();
}

void DocumentLifecycleTest::unsavedChangesAreSavedDroppedOrKept() {
    CTestSession session(kRealWizard);
    CRecordingUserInterface& ui = session.ui();
    const QString music = session.writeCatalog("音楽", {"歌手"});
    const QString photos = session.writeCatalog("写真", {"場所"});
    QVERIFY(session.start({music}));
    CQuilloryApp& app = session.app();
    CQuilloryDoc& document = session.document();
    const QString home = session.home().path();
    QCOMPARE(document.pathName(), music);

    // Nothing changed: no question.
    QVERIFY(app.openDocumentFile(photos));
    QVERIFY(ui.texts().empty());
    QVERIFY(app.openDocumentFile(music));

    // Cancel keeps the catalog open, modified.
    addItem(document, home + "/歌.mp3");
    ui.scriptThreeWayAnswers({Answer::Cancel});
    QVERIFY(!app.openDocumentFile(photos));
    QCOMPARE(ui.texts(), Texts{"音楽.qlry への変更を保存しますか?"});
    QCOMPARE(ui.shown().back().kind, Kind::YesNoCancel);
    QCOMPARE(document.pathName(), music);
    QVERIFY(document.isModified());
    QCOMPARE(document.catalog().itemCount(), 1);

    // Closing the window asks the same; Cancel keeps it open.
    ui.scriptThreeWayAnswers({Answer::Cancel});
    QVERIFY(!session.frame().close());
    QVERIFY(session.frame().isVisible());

    // No drops the change.
    ui.scriptThreeWayAnswers({Answer::No});
    QVERIFY(app.openDocumentFile(photos));
    QCOMPARE(document.pathName(), photos);
    QCOMPARE(itemsOnDisk(music), 0);

    // Yes saves first.
    addItem(document, home + "/海.jpg");
    addItem(document, home + "/山.jpg");
    ui.clear();
    ui.scriptThreeWayAnswers({Answer::Yes});
    QVERIFY(app.openDocumentFile(music));
    QCOMPARE(ui.texts(), Texts{"写真.qlry への変更を保存しますか?"});
    QCOMPARE(itemsOnDisk(photos), 2);
    QCOMPARE(document.pathName(), music);

    // A save that fails after Yes cancels the open: the catalog stays, modified.
    addItem(document, home + "/歌.mp3");
    {
        CReadOnlyFolder readOnly(session.catalogsFolder() + "/音楽");
        ui.clear();
        ui.scriptThreeWayAnswers({Answer::Yes});
        QVERIFY(!app.openDocumentFile(photos));
        QCOMPARE(ui.texts(), (Texts{"音楽.qlry への変更を保存しますか?", notWritable(music)}));
        QCOMPARE(document.pathName(), music);
        QVERIFY(document.isModified());
    }

    // In the program the question is a message box with the three buttons; its Cancel keeps the window.
    CQtUserInterface boxes;
    CUserInterface::install(&boxes);
    QString asked;
    QMessageBox::StandardButtons buttons;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        asked = box.text();
        buttons = box.standardButtons();
        QTest::mouseClick(box.button(QMessageBox::Cancel), Qt::LeftButton);
    });
    QVERIFY(!session.frame().close());
    QCOMPARE(asked, QString("音楽.qlry への変更を保存しますか?"));
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QVERIFY(session.frame().isVisible());
    CUserInterface::install(&ui);

    // At exit Yes saves and the window closes.
    ui.scriptThreeWayAnswers({Answer::Yes});
    QVERIFY(session.frame().close());
    QCOMPARE(itemsOnDisk(music), 1);
    session.stop();
}

void DocumentLifecycleTest::saveAsCopiesTheFolderAndRenameMovesIt() {
    CTestSession session(kRealWizard);
    CRecordingUserInterface& ui = session.ui();
    const QString parent = session.catalogsFolder();
    const QString elsewhere = session.home().path() + "/保管";
    const QString novel = session.home().path() + "/files/小説.txt";
    QDir().mkpath(elsewhere);
    const QString books = session.writeCatalog("本", {"著者"});
    CTestHome::touch(novel);
    QVERIFY(session.start({books}));
    CQuilloryDoc& document = session.document();
    // The catalog keeps its items through shortcuts in its folder.
    document.catalog().setUseShortcuts(true);
    addItem(document, novel);
    QVERIFY(QFileInfo::exists(parent + "/本/小説.lnk"));
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(!document.isModified());

    // Save as: the rename dialog in its save-as mode copies the folder with its shortcuts.
    addItem(document, novel);
    RenameDialogSeen seen;
    answerRenameDialog("蔵書", elsewhere, &seen);
    QVERIFY(session.run(cmd::kFileSaveAs));
    QCOMPARE(seen.title, QString("名前を付けて保存"));
    QCOMPARE(seen.explanation, QString("カタログを別名で保存します"));
    QCOMPARE(seen.currentName, QString("本"));
    QCOMPARE(seen.newName, QString("本"));
    QCOMPARE(seen.folder, parent);
    const QString copy = elsewhere + "/蔵書/蔵書.qlry";
    QCOMPARE(document.pathName(), copy);
    QVERIFY(!document.isModified());
    QCOMPARE(itemsOnDisk(copy), 2);
    QCOMPARE(itemsOnDisk(books), 1);  // the original keeps what it had
    QVERIFY(QFileInfo::exists(elsewhere + "/蔵書/小説.lnk"));
    QVERIFY(QFileInfo::exists(elsewhere + "/蔵書/小説(1).lnk"));
    QVERIFY(!QFileInfo::exists(elsewhere + "/蔵書/本.qlry"));
    QCOMPARE(session.app().recentFiles().at(0), copy);
    QCOMPARE(session.setting("Folder/Catalog00").toString(), elsewhere);

    // A folder of that name exists already: the copy fails and nothing changes.
    ui.clear();
    QDir().mkpath(parent + "/蔵書/中身");
    CTestHome::touch(parent + "/蔵書/蔵書.qlry");
    answerRenameDialog("蔵書", parent);
    QVERIFY(session.run(cmd::kFileSaveAs));
    QCOMPARE(ui.texts(), Texts{"カタログの別名保存が出来ませんでした"});
    QCOMPARE(document.pathName(), copy);
    QCOMPARE(QString::fromStdString(document.catalog().path()), copy);
    QCOMPARE(bytesOf(parent + "/蔵書/蔵書.qlry"), QByteArray());

    // Rename of a modified catalog asks to save first; No changes nothing.
    addItem(document, novel);
    ui.clear();
    ui.scriptAnswers({false});
    QVERIFY(session.run(cmd::kRenameCatalog));
    QCOMPARE(ui.texts(), Texts{"カタログ名を変更するためには保存する必要があります。保存しますか？"});
    QCOMPARE(ui.shown().back().kind, Kind::YesNo);
    QCOMPARE(document.pathName(), copy);
    QVERIFY(document.isModified());
    QCOMPARE(itemsOnDisk(copy), 2);

    // Yes saves, and the rename moves the folder and renames the file.
    ui.scriptAnswers({true});
    answerRenameDialog("書庫", parent, &seen);
    QVERIFY(session.run(cmd::kRenameCatalog));
    QCOMPARE(seen.title, QString("カタログ名変更"));
    QCOMPARE(seen.explanation, QString("カタログの名前を変更します。保存フォルダも変更されます。"));
    QCOMPARE(seen.folder, elsewhere);
    const QString renamed = parent + "/書庫/書庫.qlry";
    QCOMPARE(document.pathName(), renamed);
    QVERIFY(!document.isModified());
    QVERIFY(!QFileInfo::exists(elsewhere + "/蔵書"));
    QCOMPARE(itemsOnDisk(renamed), 3);
    QVERIFY(QFileInfo::exists(parent + "/書庫/小説(2).lnk"));
    QVERIFY(!session.app().recentFiles().paths().contains(copy));
    QCOMPARE(session.app().recentFiles().at(0), renamed);
    QCOMPARE(session.frame().windowTitle(), QString("書庫.qlry - Quillory"));

    // A rename onto an existing folder fails with its message and leaves the catalog where it is.
    ui.clear();
    answerRenameDialog("本", parent);
    QVERIFY(session.run(cmd::kRenameCatalog));
    QCOMPARE(ui.texts(), Texts{"フォルダ名の変更が出来ませんでした"});
    QCOMPARE(document.pathName(), renamed);
    QCOMPARE(QString::fromStdString(document.catalog().path()), renamed);
    QCOMPARE(itemsOnDisk(books), 1);
    session.stop();
}

void DocumentLifecycleTest::undoAndRedoRestoreAndMarkModified() {
    CTestSession session(kRealWizard);
    const QString music = session.writeCatalog("音楽", {"歌手"});
    const QString photos = session.writeCatalog("写真", {"場所"});
    QVERIFY(session.start({music}));
    CQuilloryDoc& document = session.document();
    CHintRecorder recorder(document);
    CCommandState undoState;
    CCommandState redoState;
    const auto refreshStates = [&] {
        QVERIFY(document.onUpdateCommand(cmd::kEditUndo, undoState));
        QVERIFY(document.onUpdateCommand(cmd::kEditRedo, redoState));
    };
    refreshStates();
    QVERIFY(!undoState.enabled && !redoState.enabled);

    addItem(document, session.home().path() + "/1.mp3");
    addItem(document, session.home().path() + "/2.mp3");
    QVERIFY(session.run(cmd::kFileSave));
    refreshStates();
    QVERIFY(undoState.enabled && !redoState.enabled);

    // Undo after saving: the contents changed, so the document is modified again.
    recorder.hints.clear();
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(document.catalog().itemCount(), 1);
    QVERIFY(document.isModified());
    QCOMPARE(recorder.hints, QList<int>{11});
    refreshStates();
    QVERIFY(undoState.enabled && redoState.enabled);
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(document.catalog().itemCount(), 0);
    refreshStates();
    QVERIFY(!undoState.enabled && redoState.enabled);

    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(session.run(cmd::kEditRedo));
    QCOMPARE(document.catalog().itemCount(), 1);
    QVERIFY(document.isModified());
    QVERIFY(session.run(cmd::kEditRedo));
    QCOMPARE(document.catalog().itemCount(), 2);
    refreshStates();
    QVERIFY(undoState.enabled && !redoState.enabled);
    // The restored states keep the catalog's own file.
    QCOMPARE(QString::fromStdString(document.catalog().path()), music);

    // Opening another catalog empties the history: undo cannot bring back the other catalog.
    session.ui().scriptThreeWayAnswers({Answer::No});
    QVERIFY(session.app().openDocumentFile(photos));
    refreshStates();
    QVERIFY(!undoState.enabled && !redoState.enabled);
    QVERIFY(!session.run(cmd::kEditUndo));  // disabled: nothing runs
    QCOMPARE(document.categoryNames(), QStringList{"場所"});
    QVERIFY(!document.isModified());
    // The session stops when it goes, after the hint recorder, which must leave the document first.
}

void DocumentLifecycleTest::unreadableFilesLeaveAnEmptyDocument() {
    CTestSession session(kRealWizard);
    CRecordingUserInterface& ui = session.ui();
    const QString parent = session.catalogsFolder();
    const QString music = session.writeCatalog("音楽", {"歌手"});
    const QString broken = parent + "/壊れた/壊れた.qlry";
    CTestHome::touch(broken);
    {
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromHex("64000000ffffffff"));
    }
    // At start-up an unreadable named file ends the program.
    QVERIFY(session.start({broken}) == false);
    QCOMPARE(ui.texts(), Texts{kFormatError});
    session.stop();

    QVERIFY(session.start({music}));
    CQuilloryApp& running = session.app();
    CQuilloryDoc& document = session.document();
    running.recentFiles().add(broken);
    running.recentFiles().add(music);
    QCOMPARE(running.recentFiles().paths(), (QStringList{music, broken}));

    // From the recent list: the format message with the exclamation icon, then the new-catalog step, and
    // the entry leaves the list. Cancelled, the document stays empty.
    ui.clear();
    bool wizardShown = false;
    whenShown<CNewCatalogWizard>([&](CNewCatalogWizard& wizard) {
        wizardShown = true;
        wizard.reject();
    });
    QVERIFY(session.run(cmd::kFileMruFirst + 1));
    QVERIFY(wizardShown);
    QCOMPARE(ui.texts(), Texts{kFormatError});
    QCOMPARE(ui.shown().front().icon, MessageIcon::Warning);
    QCOMPARE(running.recentFiles().paths(), QStringList{music});
    QVERIFY(document.pathName().isEmpty());
    QCOMPARE(document.title(), QString("無題"));
    QCOMPARE(document.catalog().categoryCount(), 0);
    QCOMPARE(document.catalog().itemCount(), 0);
    QVERIFY(!document.isModified());
    QCOMPARE(session.frame().windowTitle(), QString("無題 - Quillory"));
    CCommandState rename;
    QVERIFY(document.onUpdateCommand(cmd::kRenameCatalog, rename));
    QVERIFY(!rename.enabled);

    // Saving the catalog without a file asks for its name and folder, as save as does.
    addItem(document, session.home().path() + "/a.txt");
    RenameDialogSeen seen;
    answerRenameDialog("救出", parent, &seen);
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(seen.title, QString("名前を付けて保存"));
    QCOMPARE(document.pathName(), parent + "/救出/救出.qlry");
    QCOMPARE(itemsOnDisk(document.pathName()), 1);
    QVERIFY(!document.isModified());

    // A file that is gone meanwhile gives the not-found text with its path; the wizard then makes a catalog.
    ui.clear();
    QVERIFY(QFile::remove(music));
    finishNextWizard("新しい", {"種類"});
    QVERIFY(!running.openDocumentFile(music));
    QCOMPARE(ui.texts(),
             Texts{(music + "\nこのﾌｧｲﾙが見つかりません。\nﾊﾟｽとﾌｧｲﾙ名が正しいかどうか確認してださい。")
                       .toStdString()});
    QCOMPARE(document.pathName(), parent + "/新しい/新しい.qlry");
    QCOMPARE(document.categoryNames(), QStringList{"種類"});

    // A folder in place of the file cannot be read either.
    ui.clear();
    QDir().mkpath(parent + "/箱/箱.qlry");
    cancelNextWizard();
    QVERIFY(!running.openDocumentFile(parent + "/箱/箱.qlry"));
    QCOMPARE(ui.texts(),
             Texts{(parent + "/箱/箱.qlry の読み取り中に予期しないｴﾗｰが発生しました。").toStdString()});
    QVERIFY(document.pathName().isEmpty());

    // A catalog folder that cannot be made: the message, and the document stays empty.
    ui.clear();
    {
        CReadOnlyFolder readOnly(parent);
        finishNextWizard("駄目", {"種類"});
        QVERIFY(!running.newCatalog());
    }
    QCOMPARE(ui.texts(), Texts{"フォルダが作成できませんでした"});
    QVERIFY(!QFileInfo::exists(parent + "/駄目"));
    QVERIFY(document.pathName().isEmpty());
    QCOMPARE(document.catalog().categoryCount(), 0);
    session.stop();
}

void DocumentLifecycleTest::failedSaveKeepsTheOldFileAndChangesOnDiskAreNotOverwrittenUnasked() {
    CTestSession session(kRealWizard);
    CRecordingUserInterface& ui = session.ui();
    const QString music = session.writeCatalog("音楽", {"歌手"});
    QVERIFY(session.start({music}));
    CQuilloryDoc& document = session.document();

    // A folder nobody may write into: the save fails with its message, the old bytes stay.
    addItem(document, session.home().path() + "/1.mp3");
    const QByteArray before = bytesOf(music);
    {
        const QString folder = session.catalogsFolder() + "/音楽";
        CReadOnlyFolder readOnly(folder);
        QVERIFY(session.run(cmd::kFileSave));
        QCOMPARE(ui.texts(), Texts{notWritable(music)});
        QCOMPARE(ui.shown().back().icon, MessageIcon::Warning);
        QVERIFY(document.isModified());
        QCOMPARE(bytesOf(music), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"音楽.qlry"});
    }
    ui.clear();
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(ui.texts().empty());
    QVERIFY(!document.isModified());
    // Our own saves are no outside change: saving again asks nothing.
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(ui.texts().empty());

    // Another program writes the file: No keeps its bytes and the document modified.
    const std::string question = "音楽.qlry は他のプログラムによって変更されています。上書きしますか？";
    addItem(document, session.home().path() + "/2.mp3");
    shell("printf x >> '" + music + "'");
    const QByteArray theirs = bytesOf(music);
    ui.scriptAnswers({false});
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(ui.texts(), Texts{question});
    QCOMPARE(ui.shown().back().kind, Kind::YesNo);
    QCOMPARE(bytesOf(music), theirs);
    QVERIFY(document.isModified());
    // Yes writes over it.
    ui.clear();
    ui.scriptAnswers({true});
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(ui.texts(), Texts{question});
    QVERIFY(!document.isModified());
    QCOMPARE(itemsOnDisk(music), 2);

    // A change of the modification time by one nanosecond alone, and a copy with the same size and time
    // renamed over the file, are changes too.
    ui.clear();
    const QString second = QFileInfo(music).lastModified().toUTC().toString("yyyy-MM-dd HH:mm:ss");
    shell("touch -d '" + second + ".000000001 UTC' '" + music + "'");
    ui.scriptAnswers({false});
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(ui.texts(), Texts{question});
    ui.scriptAnswers({true});
    QVERIFY(session.run(cmd::kFileSave));
    ui.clear();
    shell("cp -p '" + music + "' '" + music + ".copy' && mv '" + music + ".copy' '" + music + "'");
    ui.scriptAnswers({false});
    QVERIFY(session.run(cmd::kFileSave));
    QCOMPARE(ui.texts(), Texts{question});
    session.stop();
}

QTEST_MAIN(DocumentLifecycleTest)
#include "DocumentLifecycleTest.moc"
