// The item list's file commands walked as a user walks them, over real files in the test's home: delete
// with the files into the home's Trash, copy and cut for a file manager's paste, copy into a folder twice,
// rename in place, and opening a folder with the program of the settings.

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "commands/CItemListCommands.h"
#include "commands/CShellCommands.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "platform/CProfile.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace fs = std::filesystem;

namespace {

// Spaces, "#", "%", a newline and a byte that is not UTF-8: a name that only survives as bytes.
const std::string kOddName = "odd\n\xff.txt";

std::string write(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// The catalog "Files" with one item per path and one web address; paths kept as they are.
QString writeCatalog(CTestSession& session, const std::vector<std::string>& paths) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Files");
    catalog.setUseShortcuts(false);
    for (const std::string& path : paths) {
        auto item = catalog.newItem(false);
        item->setPath(path, catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    auto web = catalog.newItem(false);
    web->setTitle("ウェブ");
    web->setPath("https://example.com/", catalog.catalogFolder(), false);
    catalog.addItem(std::move(web));
    return CCatalogFile::write(catalog, catalog.path()) ? QString() : QString::fromStdString(catalog.path());
}

int rowOf(CTestSession& session, const std::string& path) {
    MyCug& grid = session.grid();
    for (int row = 0; row < grid.numberRows(); ++row) {
        if (grid.itemAt(row)->path() == path) {
            return row;
        }
    }
    return -1;
}

void check(CTestSession& session, const std::vector<std::string>& paths) {
    session.frame().setActiveView(session.frame().fileListView());
    for (const std::string& path : paths) {
        session.grid().setChecked(rowOf(session, path), true);
    }
}

// The user works in the item list: its row becomes current and the list is the active view.
void makeCurrent(CTestSession& session, const std::string& path) {
    session.frame().setActiveView(session.frame().fileListView());
    session.grid().gotoCell(1, rowOf(session, path));
}

// Removes what the test made under its home before the home goes: Qt's removal of the temporary home
// cannot name files whose names are not UTF-8.
class CRemoveOnExit final {
public:
    explicit CRemoveOnExit(CTestSession& session) : m_home(session.home().path().toStdString()) {}
    ~CRemoveOnExit() {
        std::error_code ignored;
        for (const char* made : {"/files", "/dest", "/.local/share/Trash"}) {
            fs::remove_all(m_home + made, ignored);
        }
        fs::remove(m_home + "/" + kOddName, ignored);
    }

private:
    std::string m_home;
};

// Answers the next input dialog with the text, after checking what it offers.
void answerInput(const QString& expectedValue, const QString& typed) {
    whenShown<CInputDlg>([expectedValue, typed](CInputDlg& dialog) {
        QCOMPARE(dialog.findChild<QLabel*>("prompt")->text(), QStringLiteral("ファイル名を入力してください"));
        auto* edit = dialog.findChild<QLineEdit*>("value");
        QCOMPARE(edit->text(), expectedValue);
        edit->selectAll();
        typeText(edit, typed);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
}

// The file URI as a file manager expects it, for a path under the test's home (plain characters only).
QByteArray uri(const std::string& home, const std::string& escapedRest) {
    return QByteArray::fromStdString("file://" + home + escapedRest);
}

}  // namespace

class ShellCommandsTest final : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void openUrl(const QUrl& url) { m_opened << url; }

private Q_SLOTS:
    void deleteMovesFilesToTheTrash();
    void copyAndCutForAFileManager();
    void copyIntoAFolderTwice();
    void renameInPlace();
    void openFilesAndFolders();

private:
    QList<QUrl> m_opened;
};

void ShellCommandsTest::deleteMovesFilesToTheTrash() {
    CTestSession session;
    CRemoveOnExit removeOnExit(session);
    const std::string files = session.home().path().toStdString() + "/files";
    const std::string plain = write(files + "/a b#%.txt", "plain");
    const std::string odd = write(files + "/" + kOddName, "odd");
    write(files + "/dir/sub.txt", "sub");
    const std::string dir = files + "/dir";
    // A name too long for its .trashinfo: the Trash refuses it.
    const std::string longName = write(files + "/" + std::string(250, 'n'), "long");
    const std::string gone = write(files + "/gone.txt", "gone");
    const std::string keep = write(files + "/keep.txt", "keep");
    const std::string last = write(files + "/zz.txt", "last");
    const QString catalog = writeCatalog(session, {plain, odd, dir, longName, gone, keep, last});
    fs::remove(gone);
    QVERIFY(session.start({catalog}));
    MyCug& grid = session.grid();
    QCOMPARE(grid.numberRows(), 8);

    // Five checked files and the web address; the last row is current.
    check(session, {plain, odd, dir, longName, gone});
    grid.setChecked(rowOf(session, "https://example.com/"), true);
    grid.gotoCell(1, 7);
    session.ui().scriptAnswers({true});
    QVERIFY(session.run(cmd::kDeleteItemsWithFiles));
    QCOMPARE(session.ui().texts().at(0), std::string("チェックしている6個のアイテムをファイルごと削除しますか？"));

    const std::string trash = session.home().dataHome().toStdString() + "/Trash";
    QCOMPARE(read(trash + "/files/a b#%.txt"), std::string("plain"));
    QCOMPARE(read(trash + "/files/" + kOddName), std::string("odd"));
    QCOMPARE(read(trash + "/files/dir/sub.txt"), std::string("sub"));
    const std::string info = read(trash + "/info/" + kOddName + ".trashinfo");
    QCOMPARE(info.substr(0, info.find("DeletionDate=")),
             "[Trash Info]\nPath=" + files + "/odd%0A%FF.txt\n");
    QVERIFY(read(trash + "/info/a b#%.txt.trashinfo").find("Path=" + files + "/a%20b%23%25.txt\n") !=
            std::string::npos);
    QVERIFY(!fs::exists(plain) && !fs::exists(odd) && !fs::exists(dir));

    // The file the Trash refused stays, and so does its item; the missing file's item went with the rest.
    QCOMPARE(read(longName), std::string("long"));
    QCOMPARE(grid.numberRows(), 3);
    QVERIFY(rowOf(session, longName) >= 0 && rowOf(session, keep) >= 0 && rowOf(session, last) >= 0);
    QCOMPARE(session.ui().texts().size(), std::size_t(2));
    const std::string report = session.ui().texts().at(1);
    QVERIFY(report.starts_with("次のファイルはごみ箱に移動できなかったため"));
    QVERIFY(report.find("\n" + longName + "（") != std::string::npos);
    QCOMPARE(grid.currentRow(), 2);  // the last row stays current

    // The current item alone, when nothing is checked: No leaves it, Yes trashes it.
    QVERIFY(session.run(cmd::kDeselectAll));
    makeCurrent(session, keep);
    session.ui().clear();
    session.ui().scriptAnswers({false, true});
    QVERIFY(session.run(cmd::kDeleteItemsWithFiles));
    QCOMPARE(grid.numberRows(), 3);
    QVERIFY(session.run(cmd::kDeleteItemsWithFiles));
    QCOMPARE(session.ui().texts(), (std::vector<std::string>{"現在のアイテムをファイルごと削除しますか？",
                                                              "現在のアイテムをファイルごと削除しますか？"}));
    QCOMPARE(grid.numberRows(), 2);
    QCOMPARE(read(trash + "/files/keep.txt"), std::string("keep"));
    QVERIFY(session.document().isModified());
}

void ShellCommandsTest::copyAndCutForAFileManager() {
    CTestSession session;
    CRemoveOnExit removeOnExit(session);
    const std::string home = session.home().path().toStdString();
    const std::string plain = write(home + "/files/a b#%.txt", "plain");
    const std::string odd = write(home + "/files/" + kOddName, "odd");
    QVERIFY(session.start({writeCatalog(session, {plain, odd})}));
    check(session, {plain, odd});
    session.grid().setChecked(rowOf(session, "https://example.com/"), true);

    QVERIFY(session.run(cmd::kCopyFiles));
    const QByteArray plainUri = uri(home, "/files/a%20b%23%25.txt");
    const QByteArray oddUri = uri(home, "/files/odd%0A%FF.txt");
    const bool plainFirst = rowOf(session, plain) < rowOf(session, odd);
    const QByteArray first = plainFirst ? plainUri : oddUri;
    const QByteArray second = plainFirst ? oddUri : plainUri;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QCOMPARE(data->data("text/uri-list"), first + "\r\n" + second + "\r\n");
    QCOMPARE(data->data("x-special/gnome-copied-files"), "copy\n" + first + "\n" + second);
    // No text form: a paste into a text field does not take the paths.
    QCOMPARE(data->formats(), (QStringList{"text/uri-list", "x-special/gnome-copied-files"}));
    // Qt's own reader (as Dolphin's) finds the plain file.
    QVERIFY(data->urls().contains(QUrl::fromLocalFile(QString::fromStdString(plain))));

    QVERIFY(session.run(cmd::kCutFiles));
    data = QApplication::clipboard()->mimeData();
    QCOMPARE(data->data("x-special/gnome-copied-files"), "cut\n" + first + "\n" + second);
    QCOMPARE(data->data("application/x-kde-cutselection"), QByteArray("1"));
    QVERIFY(session.ui().texts().empty());

    // Only a web address: each command says why, and the clipboard keeps the cut files.
    QVERIFY(session.run(cmd::kDeselectAll));
    makeCurrent(session, "https://example.com/");
    QVERIFY(session.run(cmd::kCopyFiles));
    QVERIFY(session.run(cmd::kCutFiles));
    QCOMPARE(session.ui().texts(), (std::vector<std::string>{"コピー対象が選択されていません。\n注：URLはコピーできません",
                                                              "切り取り対象が選択されていません。\n注：URLは切り取りできません"}));
    QCOMPARE(QApplication::clipboard()->mimeData()->data("x-special/gnome-copied-files"),
             "cut\n" + first + "\n" + second);
}

void ShellCommandsTest::copyIntoAFolderTwice() {
    CTestSession session;
    CRemoveOnExit removeOnExit(session);
    const std::string home = session.home().path().toStdString();
    const std::string plain = write(home + "/files/a b#%.txt", "plain");
    const std::string odd = write(home + "/files/" + kOddName, "odd");
    write(home + "/files/dir/sub/leaf.txt", "leaf");
    const std::string dir = home + "/files/dir";
    const std::string dest = home + "/dest";
    fs::create_directories(dest);
    QVERIFY(session.start({writeCatalog(session, {plain, odd, dir})}));

    QStringList asked;
    std::optional<QString> answer = QString::fromStdString(dest);
    session.frame().itemListCommands().shellCommands().setFolderPicker(
        [&](QWidget*, const QString& title, const QString& start) {
            asked << title << start;
            return answer;
        });
    check(session, {plain, odd, dir});
    makeCurrent(session, plain);
    QVERIFY(session.run(cmd::kCopyFilesToFolder));
    QVERIFY(session.run(cmd::kCopyFilesToFolder));
    QCOMPARE(asked.mid(0, 2), (QStringList{"コピー先を選択してください", QString::fromStdString(home + "/files")}));

    // The second copies are numbered before the extension; nothing was overwritten.
    QCOMPARE(read(dest + "/a b#%.txt"), std::string("plain"));
    QCOMPARE(read(dest + "/a b#%(2).txt"), std::string("plain"));
    QCOMPARE(read(dest + "/" + kOddName), std::string("odd"));
    QCOMPARE(read(dest + "/odd\n\xff(2).txt"), std::string("odd"));
    QCOMPARE(read(dest + "/dir/sub/leaf.txt"), std::string("leaf"));
    QCOMPARE(read(dest + "/dir(2)/sub/leaf.txt"), std::string("leaf"));
    QCOMPARE(std::distance(fs::directory_iterator(dest), fs::directory_iterator()), 6);
    QVERIFY(session.ui().texts().empty());

    // Cancelled: nothing. Into itself: refused, with the folder named.
    answer.reset();
    QVERIFY(session.run(cmd::kCopyFilesToFolder));
    QCOMPARE(std::distance(fs::directory_iterator(dest), fs::directory_iterator()), 6);
    QVERIFY(session.run(cmd::kDeselectAll));
    makeCurrent(session, dir);
    answer = QString::fromStdString(dir + "/sub");
    QVERIFY(session.run(cmd::kCopyFilesToFolder));
    QVERIFY(!fs::exists(dir + "/sub/dir"));
    QCOMPARE(session.ui().texts().size(), std::size_t(1));
    QVERIFY(session.ui().texts().at(0).starts_with("次のファイルはコピーできませんでした。\n" + dir + "（"));
}

void ShellCommandsTest::renameInPlace() {
    CTestSession session;
    CRemoveOnExit removeOnExit(session);
    const std::string files = session.home().path().toStdString() + "/files";
    const std::string plain = write(files + "/a b#%.txt", "plain");
    const std::string taken = write(files + "/taken.txt", "taken");
    QVERIFY(session.start({writeCatalog(session, {plain, taken})}));
    MyCug& grid = session.grid();
    CFileListView& view = *session.frame().fileListView();

    makeCurrent(session, plain);
    answerInput("a b#%.txt", "b.txt");
    QVERIFY(session.run(cmd::kRenameItemFile));
    QVERIFY(!fs::exists(plain));
    QCOMPARE(read(files + "/b.txt"), std::string("plain"));
    QCOMPARE(view.currentItem()->path(), files + "/b.txt");
    QCOMPARE(grid.currentRow(), rowOf(session, files + "/b.txt"));
    QVERIFY(session.document().isModified());

    // A name that exists and a name with "/": refused, file and item as they were.
    answerInput("b.txt", "taken.txt");
    QVERIFY(session.run(cmd::kRenameItemFile));
    answerInput("b.txt", "sub/c.txt");
    QVERIFY(session.run(cmd::kRenameItemFile));
    QCOMPARE(session.ui().texts().size(), std::size_t(2));
    QVERIFY(session.ui().texts().at(0).starts_with("同じ名前のファイルが既にあります。"));
    QVERIFY(session.ui().texts().at(1).starts_with("このファイル名は使えません。"));
    QCOMPARE(read(files + "/b.txt"), std::string("plain"));
    QCOMPARE(read(taken), std::string("taken"));
    QCOMPARE(view.currentItem()->path(), files + "/b.txt");

    // Not for a web address.
    makeCurrent(session, "https://example.com/");
    CCommandState state;
    QVERIFY(view.onUpdateCommand(cmd::kRenameItemFile, state));
    QVERIFY(!state.enabled);
}

void ShellCommandsTest::openFilesAndFolders() {
    CTestSession session;
    CRemoveOnExit removeOnExit(session);
    const std::string base = session.home().path().toStdString();
    const std::string folder = base + "/my folder#1";
    fs::create_directories(folder);
    const std::string odd = write(base + "/" + kOddName, "odd");
    const std::string noApp = write(base + "/noapp.xyz", "?");
    // A folder program that records its working folder and its arguments.
    const std::string record = base + "/record.txt";
    const std::string script = write(base + "/folder-program.sh",
                                     "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"arg:$a\"; done; } > '" + record +
                                         ".part' && mv '" + record + ".part' '" + record + "'\n");
    fs::permissions(script, fs::perms::owner_all);
    session.presetSettings({{"System/FolderSoft", QString::fromStdString(script)}, {"System/FolderArg", 1}});
    QVERIFY(session.start({writeCatalog(session, {folder, odd, noApp})}));
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    QDesktopServices::setUrlHandler("https", this, "openUrl");

    // With the folder as argument.
    makeCurrent(session, folder);
    QVERIFY(session.run(cmd::kOpenFile));
    QTRY_VERIFY(fs::exists(record));
    QCOMPARE(read(record).substr(read(record).find('\n') + 1), "arg:" + folder + "\n");
    fs::remove(record);
    // As the working folder, without arguments.
    session.document().profile().writeInt("System", "FolderArg", 0);
    QVERIFY(session.run(cmd::kOpenFile));
    QTRY_VERIFY(fs::exists(record));
    QCOMPARE(read(record), folder + "\n");
    QVERIFY(m_opened.isEmpty());

    // Files and web addresses go to the desktop's opener, the odd name byte for byte. The opener stands in
    // for xdg-open: it records its argument and, like xdg-open, fails (exit 3) when no application takes
    // the file.
    const std::string bin = base + "/bin";
    fs::create_directories(bin);
    const std::string opened = base + "/opened.txt";
    const std::string opener = write(bin + "/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened +
                                                            "'\ncase \"$1\" in *noapp*) exit 3;; esac\nexit 0\n");
    fs::permissions(opener, fs::perms::owner_all);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin) + ":" + path);
    makeCurrent(session, odd);
    QVERIFY(session.run(cmd::kOpenFile));
    QTRY_COMPARE(read(opened), "file://" + base + "/odd%0A%FF.txt\n");
    makeCurrent(session, "https://example.com/");
    QVERIFY(session.run(cmd::kOpenFile));
    QTRY_COMPARE(read(opened), "file://" + base + "/odd%0A%FF.txt\nhttps://example.com/\n");
    QVERIFY(session.ui().texts().empty());

    // No application for the file: the user is told, with the path, instead of nothing happening.
    makeCurrent(session, noApp);
    QVERIFY(session.run(cmd::kOpenFile));
    QTRY_COMPARE(session.ui().texts().size(), std::size_t(1));
    QCOMPARE(session.ui().texts().at(0), "開くことができませんでした。\n" + noApp);
    qputenv("PATH", path);
    QVERIFY(m_opened.isEmpty());
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("https");
}

QTEST_MAIN(ShellCommandsTest)
#include "ShellCommandsTest.moc"
