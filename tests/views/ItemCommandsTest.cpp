// The item commands as a user meets them, in the whole program over real files in the test's home: drops of
// files, folders and web addresses, the item dialog, the title change, unregistering, the multi-item dialog
// and the attribute copy and paste.

#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "commands/CItemCommands.h"
#include "commands/CItemListCommands.h"
#include "dialogs/CAddTagDlg.h"
#include "dialogs/CCategoryCombos.h"
#include "dialogs/CFileItemDlg.h"
#include "dialogs/CFileItemMultiDlg.h"
#include "dialogs/CFolderCheckDlg.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

struct Entry {
    std::string path;  // a native path or a web address
    std::vector<std::string> values;
    std::string title;
};

// Writes a catalog "Items" with the categories and entries; its path.
QString writeCatalog(CTestSession& session, const std::vector<std::string>& categories,
                     const std::vector<Entry>& entries) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Items");
    for (const std::string& name : categories) {
        catalog.addCategory(name);
    }
    for (const Entry& entry : entries) {
        auto item = catalog.newItem(false);
        item->setValueStrings(entry.values);
        item->setTitle(entry.title);
        item->setPath(entry.path, catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    return CCatalogFile::write(catalog, catalog.path()) ? QString() : QString::fromStdString(catalog.path());
}

// A file with a name of any bytes.
std::string makeFile(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << "x";
    return path;
}

std::string homeOf(CTestSession& session) {
    return session.home().path().toStdString();
}

// Removes a folder with names that are not UTF-8, which QTemporaryDir cannot remove.
class CFolderRemover final {
public:
    explicit CFolderRemover(std::string folder) : m_folder(std::move(folder)) {}
    ~CFolderRemover() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

private:
    std::string m_folder;
};

// Starts the program on the catalog with the item list as the active view.
CFileListView& startOn(CTestSession& session, const QString& catalog) {
    if (!session.start({catalog})) {
        qFatal("the program did not start");
    }
    CFileListView& view = *session.frame().fileListView();
    session.frame().setActiveView(&view);
    return view;
}

// A "text/uri-list" as file managers write it: each path's bytes percent-encoded.
QMimeData* fileDrag(const std::vector<std::string>& paths) {
    QByteArray list;
    for (const std::string& path : paths) {
        list += "file://" + QByteArray::fromStdString(path).toPercentEncoding("/") + "\r\n";
    }
    auto* data = new QMimeData;
    data->setData("text/uri-list", list);
    return data;
}

// Drags the data over the grid and drops it, as a file manager or a browser does; whether it was taken.
bool drop(CFileListView& view, QMimeData* data) {
    QWidget* target = view.grid().viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    if (enter.isAccepted()) {
        QCoreApplication::sendEvent(target, &dropped);
    }
    delete data;
    return enter.isAccepted() && dropped.isAccepted();
}

int rowOf(const MyCug& grid, const std::string& title) {
    for (int row = 0; row < grid.numberRows(); ++row) {
        if (grid.itemAt(row) && grid.itemAt(row)->title() == title) {
            return row;
        }
    }
    return -1;
}

std::vector<std::string> pathsOf(const CFileCatalog& catalog) {
    std::vector<std::string> paths;
    for (const auto& item : catalog.items()) {
        paths.emplace_back(item->path());
    }
    return paths;
}

// Counts how often a dialog of type T was shown.
template <class T>
class CShowCounter final : public QObject {
public:
    CShowCounter() { qApp->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && qobject_cast<T*>(watched)) {
            ++count;
        }
        return false;
    }
};

}  // namespace

class ItemCommandsTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void droppedFilesAndFolders();
    void editItemAndTitle();
    void unregisterKeepsTheCurrentRow();
    void attributeCopyAndPaste();
    void multiItemKeepMarker();
    void webAddressesAndCancelledAdditions();
};

void ItemCommandsTest::droppedFilesAndFolders() {
    CTestSession session;
    CFileListView& view = startOn(session, writeCatalog(session, {"色", "形"}, {}));
    const std::string home = homeOf(session) + "/drop";
    const CFolderRemover remover(home);
    // Names that a URI escapes and a careless decoder breaks: spaces, "#", "%", a newline, a byte that is
    // not UTF-8.
    const std::vector<std::string> files = {makeFile(home + "/a space.txt"), makeFile(home + "/b#50%.txt"),
                                            makeFile(home + "/c\nline\xff.txt")};
    const std::set<std::string> below = {makeFile(home + "/folder/x.txt"), makeFile(home + "/folder/sub/y.txt"),
                                          makeFile(home + "/other/z.txt")};
    std::vector<std::string> dropped = files;
    dropped.push_back(home + "/folder");
    dropped.push_back(home + "/other");
    CShowCounter<CFolderCheckDlg> folderQuestions;
    const int undoBefore = session.document().undoHistory().position();

    // Every file below the folders, with the values typed into the multi-item dialog.
    whenShown<CFolderCheckDlg>([](CFolderCheckDlg& question) {
        QTest::mouseClick(child<QPushButton>(question, "allFiles"), Qt::LeftButton);
    });
    whenShown<CFileItemMultiDlg>([](CFileItemMultiDlg& dialog) {
        QCOMPARE(child<QLabel>(dialog, "prompt")->text(), QString::fromUtf8(CItemCommands::kDropPrompt));
        QCOMPARE(dialog.combos().text(0), QString());
        dialog.combos().setText(0, QStringLiteral("赤"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(drop(view, fileDrag(dropped)));
    QTRY_COMPARE(session.catalog().itemCount(), 6);
    QCOMPARE(folderQuestions.count, 1);
    std::vector<std::string> paths = pathsOf(session.catalog());
    QVERIFY(std::equal(files.begin(), files.end(), paths.begin()));
    QCOMPARE(std::set<std::string>(paths.begin() + 3, paths.end()), below);
    for (const auto& item : session.catalog().items()) {
        QCOMPARE(item->valueString(0), std::string_view("赤"));
        QCOMPARE(item->kind(), ItemKind::File);
    }
    QCOMPARE(session.catalog().displayedCount(), 6);
    QCOMPARE(view.grid().numberRows(), 6);
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 1);
    QVERIFY(session.document().isModified());

    // Undone, and dropped again: the folders as they are; a cancelled multi-item dialog still adds them.
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(session.catalog().itemCount(), 0);
    whenShown<CFolderCheckDlg>([](CFolderCheckDlg& question) {
        QTest::mouseClick(child<QPushButton>(question, "asIs"), Qt::LeftButton);
    });
    whenShown<CFileItemMultiDlg>([](CFileItemMultiDlg& dialog) { clickButton(dialog, QDialogButtonBox::Cancel); });
    QVERIFY(drop(view, fileDrag(dropped)));
    QTRY_COMPARE(session.catalog().itemCount(), 5);
    QCOMPARE(folderQuestions.count, 2);
    QCOMPARE(pathsOf(session.catalog()), dropped);
    QCOMPARE(session.catalog().item(3).kind(), ItemKind::Folder);
    QCOMPARE(session.catalog().item(0).valueString(0), std::string_view());

    // Files alone ask no folder question; what is neither files nor an address is refused.
    whenShown<CFileItemMultiDlg>([](CFileItemMultiDlg& dialog) { clickButton(dialog, QDialogButtonBox::Ok); });
    QVERIFY(drop(view, fileDrag({files[0]})));
    QTRY_COMPARE(session.catalog().itemCount(), 6);
    auto* text = new QMimeData;
    text->setText(QStringLiteral("/etc/passwd"));
    QVERIFY(!drop(view, text));
    QCOMPARE(folderQuestions.count, 2);
}

void ItemCommandsTest::editItemAndTitle() {
    CTestSession session;
    const CFolderRemover remover(homeOf(session) + "/files");
    const std::string path = makeFile(homeOf(session) + "/files/bad\xfe name.txt");
    CFileListView& view = startOn(session, writeCatalog(session, {"色", "形"}, {{path, {"赤", ""}, ""}}));
    view.grid().gotoCell(view.grid().firstCategoryColumn(), 0);
    CFileItem& item = session.catalog().item(0);
    const int undoBefore = session.document().undoHistory().position();

    // Values and memo typed; the path, untouched, keeps its bytes.
    whenShown<CFileItemDlg>([](CFileItemDlg& dialog) {
        CCategoryCombos& combos = dialog.combos();
        QCOMPARE(combos.count(), 2);
        QCOMPARE(child<QLabel>(dialog, "categoryLabel0")->text(), QStringLiteral("色"));
        QVERIFY(!combos.combo(1)->isHidden());
        QVERIFY(combos.combo(2)->isHidden());
        QCOMPARE(combos.text(0), QStringLiteral("赤"));
        combos.setText(1, QStringLiteral("丸"));
        child<QPlainTextEdit>(dialog, "memo")->setPlainText(QStringLiteral("一行目\n二行目"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kEditItem));
    QCOMPARE(item.valueString(1), std::string_view("丸"));
    QCOMPARE(item.memo(), std::string("一行目\r\n二行目"));
    QCOMPARE(item.path(), path);
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 1);
    QVERIFY(session.document().isModified());

    // Cancelled: nothing changes, no undo point.
    whenShown<CFileItemDlg>([](CFileItemDlg& dialog) {
        dialog.combos().setText(0, QStringLiteral("青"));
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(session.run(cmd::kEditItem));
    QCOMPARE(item.valueString(0), std::string_view("赤"));
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 1);

    // A web address without a title asks for one; cancelling the question still stores the item.
    bool asked = false;
    whenShown<CFileItemDlg>([&asked](CFileItemDlg& dialog) {
        child<QLineEdit>(dialog, "path")->setText(QStringLiteral("https://example.com/a"));
        whenShown<CInputDlg>([&asked](CInputDlg& question) {
            asked = question.prompt() == QString::fromUtf8(CFileItemDlg::kTitlePrompt);
            clickButton(question, QDialogButtonBox::Cancel);
        });
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kEditItem));
    QVERIFY(asked);
    QVERIFY(item.isUrl());
    QCOMPARE(item.path(), std::string("https://example.com/a"));
    QCOMPARE(item.title(), std::string());
    QCOMPARE(session.catalog().itemCount(), 1);

    // The title change: the grid shows the new name; undo brings the old one back.
    whenShown<CInputDlg>([](CInputDlg& question) {
        QCOMPARE(question.prompt(), QString::fromUtf8(CFileItemDlg::kTitlePrompt));
        typeText(child<QLineEdit>(question, "value"), QStringLiteral("例のページ"));
        clickButton(question, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kChangeDisplayName));
    QCOMPARE(item.title(), std::string("例のページ"));
    QCOMPARE(view.grid().quickGetText(1, 0), QStringLiteral("例のページ"));
    QCOMPARE(view.currentItem(), &item);
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(session.catalog().item(0).title(), std::string());
}

void ItemCommandsTest::unregisterKeepsTheCurrentRow() {
    CTestSession session;
    std::vector<Entry> entries;
    for (const char* title : {"a", "b", "c", "d", "e"}) {
        entries.push_back({std::string("https://example.com/") + title, {"", ""}, title});
    }
    CFileListView& view = startOn(session, writeCatalog(session, {"色", "形"}, entries));
    MyCug& grid = view.grid();
    const auto titles = [&session] {
        std::string text;
        for (const CFileItem* item : session.catalog().displayedItems()) {
            text += item->title();
        }
        return text;
    };
    QCOMPARE(titles(), std::string("abcde"));

    // Two checked rows: the question counts them; No keeps them.
    grid.gotoCell(1, 0);
    grid.setChecked(rowOf(grid, "b"), true);
    grid.setChecked(rowOf(grid, "d"), true);
    // Their names and addresses copied, one a line, for a text editor.
    QVERIFY(session.run(cmd::kCopyItemNames));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("b\r\nd\r\n"));
    QVERIFY(session.run(cmd::kCopyFullPaths));
    QCOMPARE(QGuiApplication::clipboard()->text(),
             QStringLiteral("https://example.com/b\r\nhttps://example.com/d\r\n"));

    session.ui().scriptAnswers({false, true});
    QVERIFY(session.run(cmd::kRemoveItem));
    QCOMPARE(session.ui().texts().back(), std::string("チェックしている2個のアイテムを登録解除しますか？"));
    QCOMPARE(titles(), std::string("abcde"));
    QVERIFY(session.run(cmd::kRemoveItem));
    QCOMPARE(titles(), std::string("ace"));
    QCOMPARE(view.currentItem()->title(), std::string("a"));

    // No checks: the current row alone; unregistering the last row leaves the new last row current.
    grid.gotoCell(1, 2);
    session.ui().scriptAnswers({true});
    QVERIFY(session.run(cmd::kRemoveItem));
    QCOMPARE(session.ui().texts().back(), std::string("現在のアイテムを登録解除しますか？"));
    QCOMPARE(titles(), std::string("ac"));
    QCOMPARE(view.currentItemIndex(), 1);
    QCOMPARE(view.currentItem()->title(), std::string("c"));

    // Everything: no current row is left; undo brings the two back.
    QVERIFY(session.run(cmd::kEditSelectAll));
    session.ui().scriptAnswers({true});
    QVERIFY(session.run(cmd::kRemoveItem));
    QCOMPARE(session.catalog().itemCount(), 0);
    QVERIFY(!view.currentItem());
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(titles(), std::string("ac"));
}

void ItemCommandsTest::attributeCopyAndPaste() {
    CTestSession session;
    CFileListView& view = startOn(session, writeCatalog(session, {"色", "形"},
                                                        {{"https://example.com/a", {"赤,,朱", "丸"}, "a"},
                                                         {"https://example.com/b", {"青", "四角"}, "b"},
                                                         {"https://example.com/c", {"", "星"}, "c"}}));
    MyCug& grid = view.grid();
    const int colourCol = grid.firstCategoryColumn();
    const int shapeCol = colourCol + 1;
    QClipboard& clipboard = *QGuiApplication::clipboard();

    // Copied from the colour column of "a": the category index, 0x01, the value string.
    grid.gotoCell(colourCol, rowOf(grid, "a"));
    QVERIFY(session.run(cmd::kCopyAttribute));
    QCOMPARE(clipboard.mimeData()->data(CItemCommands::kTagMimeType), QByteArray("0\x01赤,,朱"));
    QCOMPARE(clipboard.mimeData()->text(), QStringLiteral("赤,,朱"));  // pastes into other programs too

    // Pasted onto the checked rows from the name column: the colour, whatever the current column.
    grid.setChecked(rowOf(grid, "b"), true);
    grid.setChecked(rowOf(grid, "c"), true);
    grid.gotoCell(1, rowOf(grid, "a"));
    const int undoBefore = session.document().undoHistory().position();
    QVERIFY(session.run(cmd::kPasteAttribute));
    for (const char* title : {"b", "c"}) {
        QCOMPARE(grid.itemAt(rowOf(grid, title))->valueString(0), std::string_view("赤,,朱"));
        QCOMPARE(grid.itemAt(rowOf(grid, title))->checked(), 0);
    }
    QCOMPARE(grid.itemAt(rowOf(grid, "c"))->valueString(1), std::string_view("星"));
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 1);

    // Plain text goes into the current column of the current row; in a column of no category, nowhere.
    clipboard.setText(QStringLiteral("三角"));
    grid.gotoCell(shapeCol, rowOf(grid, "b"));
    QVERIFY(session.run(cmd::kPasteAttribute));
    QCOMPARE(grid.itemAt(rowOf(grid, "b"))->valueString(1), std::string_view("三角"));
    clipboard.setText(QStringLiteral("無視"));
    grid.gotoCell(1, rowOf(grid, "b"));
    QVERIFY(!session.frame().commandState(cmd::kPasteAttribute).enabled);  // greyed rather than silent
    QVERIFY(!session.run(cmd::kPasteAttribute));
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 2);

    // A tag without its separator, or of a category the catalog does not have, is ignored.
    for (const QByteArray& bytes : {QByteArray("1星"), QByteArray("7\x01星")}) {
        auto* data = new QMimeData;
        data->setData(CItemCommands::kTagMimeType, bytes);
        clipboard.setMimeData(data);
        QVERIFY(session.run(cmd::kPasteAttribute));
    }
    QCOMPARE(grid.itemAt(rowOf(grid, "b"))->valueString(1), std::string_view("三角"));
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 2);
}

void ItemCommandsTest::multiItemKeepMarker() {
    CTestSession session;
    CFileListView& view = startOn(session, writeCatalog(session, {"色", "形", "大きさ", "メモ"},
                                                        {{"https://example.com/a", {"赤", "丸", "大", ""}, "a"},
                                                         {"https://example.com/b", {"", "四角", "", ""}, "b"},
                                                         {"https://example.com/c", {"青", "", "", ""}, "c"}}));
    QVERIFY(session.run(cmd::kEditSelectAll));
    const QString marker = QString::fromUtf8(CFileItemMultiDlg::kKeepMarker);
    whenShown<CFileItemMultiDlg>([&marker](CFileItemMultiDlg& dialog) {
        CCategoryCombos& combos = dialog.combos();
        QCOMPARE(combos.count(), 4);
        QCOMPARE(combos.text(0), marker);
        QCOMPARE(combos.text(1), marker);
        QCOMPARE(combos.text(2), marker);
        QCOMPARE(combos.text(3), QString());
        QVERIFY(combos.combo(4)->isHidden());
        QCOMPARE(dialog.focusWidget(), combos.combo(3));
        combos.setText(1, QStringLiteral("星"));  // typed
        combos.setText(2, QString());              // emptied
        clickButton(dialog, QDialogButtonBox::Ok);  // the colour keeps its marker
    });
    QVERIFY(session.run(cmd::kMultiItemAttributes));
    const auto valuesOf = [&view](const char* title) {
        const CFileItem* item = view.grid().itemAt(rowOf(view.grid(), title));
        std::vector<std::string> values;
        for (int i = 0; i < item->valueCount(); ++i) {
            values.emplace_back(item->valueString(i));
        }
        return values;
    };
    QCOMPARE(valuesOf("a"), (std::vector<std::string>{"赤", "星", "", ""}));
    QCOMPARE(valuesOf("b"), (std::vector<std::string>{"", "星", "", ""}));
    QCOMPARE(valuesOf("c"), (std::vector<std::string>{"青", "星", "", ""}));
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(valuesOf("a"), (std::vector<std::string>{"赤", "丸", "大", ""}));

    // One value added to the shape of every checked item: the dialog starts at the current column's
    // category and offers its values.
    QVERIFY(session.run(cmd::kEditSelectAll));
    view.grid().gotoCell(view.grid().firstCategoryColumn() + 1, 0);
    whenShown<CAddTagDlg>([](CAddTagDlg& dialog) {
        QCOMPARE(child<QComboBox>(dialog, "category")->currentText(), QStringLiteral("形"));
        QComboBox* value = child<QComboBox>(dialog, "value");
        QCOMPARE(value->count(), 2);
        typeText(value->lineEdit(), QStringLiteral("丸"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kAddValue));
    QCOMPARE(valuesOf("a")[1], std::string("丸"));
    QCOMPARE(valuesOf("b")[1], std::string("四角,丸"));
    QCOMPARE(valuesOf("c")[1], std::string("丸"));
}

void ItemCommandsTest::webAddressesAndCancelledAdditions() {
    CTestSession session;
    CFileListView& view = startOn(session, writeCatalog(session, {"色"}, {}));
    const QString url = QStringLiteral("https://example.com/page?q=1");
    const auto mozDrag = [&url] {
        const QString text = url + QStringLiteral("\nExample page");
        auto* data = new QMimeData;
        data->setData("text/x-moz-url", QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
        return data;
    };

    // Cancelled: no item, no undo point, the document unchanged. No browser runs here: the title is the
    // address.
    bool shown = false;
    whenShown<CFileItemDlg>([&](CFileItemDlg& dialog) {
        shown = true;
        QCOMPARE(child<QLineEdit>(dialog, "path")->text(), url);
        QCOMPARE(child<QLineEdit>(dialog, "title")->text(), url);
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(drop(view, mozDrag()));
    QTRY_VERIFY(shown);
    QCOMPARE(session.catalog().itemCount(), 0);
    QCOMPARE(session.document().undoHistory().position(), 0);
    QVERIFY(!session.document().isModified());

    // Confirmed: the item is added and current.
    whenShown<CFileItemDlg>([](CFileItemDlg& dialog) { clickButton(dialog, QDialogButtonBox::Ok); });
    QVERIFY(drop(view, mozDrag()));
    QTRY_COMPARE(session.catalog().itemCount(), 1);
    QVERIFY(session.catalog().item(0).isUrl());
    QCOMPARE(QString::fromStdString(std::string(session.catalog().item(0).path())), url);
    QCOMPARE(view.currentItem(), &session.catalog().item(0));
    QCOMPARE(session.document().undoHistory().position(), 1);

    // A Chromium drag: the address in "text/uri-list"; an ftp address is no web page.
    auto* chromium = new QMimeData;
    chromium->setData("text/uri-list", "# dragged\r\nftp://example.com/file\r\nhttp://example.org/\r\n");
    whenShown<CFileItemDlg>([](CFileItemDlg& dialog) { clickButton(dialog, QDialogButtonBox::Ok); });
    QVERIFY(drop(view, chromium));
    QTRY_COMPARE(session.catalog().itemCount(), 2);
    QCOMPARE(session.catalog().item(1).path(), std::string("http://example.org/"));

    // The add-item command, cancelled and confirmed.
    whenShown<CFileItemDlg>([](CFileItemDlg& dialog) { clickButton(dialog, QDialogButtonBox::Cancel); });
    QVERIFY(session.run(cmd::kAddItem));
    QCOMPARE(session.catalog().itemCount(), 2);
    QCOMPARE(session.document().undoHistory().position(), 2);
    const std::string file = makeFile(homeOf(session) + "/notes #1.txt");
    whenShown<CFileItemDlg>([&file](CFileItemDlg& dialog) {
        child<QLineEdit>(dialog, "path")->setText(QString::fromStdString(file));
        dialog.combos().setText(0, QStringLiteral("緑"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kAddItem));
    QCOMPARE(session.catalog().itemCount(), 3);
    QCOMPARE(view.currentItem()->path(), file);
    QCOMPARE(view.currentItem()->valueString(0), std::string_view("緑"));

    // From the browser, with none running: the message, nothing added.
    QVERIFY(session.run(cmd::kAddFromBrowser));
    QCOMPARE(session.ui().texts().back(), std::string(CFileItemDlg::kNoBrowser));
    QCOMPARE(session.catalog().itemCount(), 3);

    // Favourites: an internet shortcut and a link entry each give an item titled with the file's name; a
    // file without an address is skipped.
    const QString favourites = session.home().path() + QStringLiteral("/favs/");
    const std::pair<const char*, const char*> shortcuts[] = {
        {"例のサイト.url", "[InternetShortcut]\r\nURL=https://example.net/\r\n"},
        {"docs.desktop", "[Desktop Entry]\nType=Link\nName=Docs\nURL=https://docs.example/\n"},
        {"app.desktop", "[Desktop Entry]\nType=Application\nExec=true\n"}};
    QStringList chosen;
    for (const auto& [name, text] : shortcuts) {
        chosen << favourites + QString::fromUtf8(name);
        makeFile(chosen.back().toStdString());
        std::ofstream(chosen.back().toStdString()) << text;
    }
    session.frame().itemListCommands().itemCommands().setFavouritesChooser([chosen] { return chosen; });
    whenShown<CFileItemMultiDlg>([](CFileItemMultiDlg& dialog) {
        dialog.combos().setText(0, QStringLiteral("青"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kAddFromFavourites));
    QCOMPARE(session.catalog().itemCount(), 5);
    QCOMPARE(session.catalog().item(3).path(), std::string("https://example.net/"));
    QCOMPARE(session.catalog().item(3).title(), std::string("例のサイト"));
    QCOMPARE(session.catalog().item(4).path(), std::string("https://docs.example/"));
    QCOMPARE(session.catalog().item(4).title(), std::string("docs"));
    QCOMPARE(session.catalog().item(4).valueString(0), std::string_view("青"));
}

QTEST_MAIN(ItemCommandsTest)
#include "ItemCommandsTest.moc"
