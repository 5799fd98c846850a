// The searches as a user meets them: the item search from the current row forward and back, without
// wrapping, with "見つかりません" and a hit inside a text file handed to the preview; the search histories
// across a restart; the value search of the category pane.

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "dialogs/CFileSearchDlg.h"
#include "dialogs/CSearchDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "preview/CTextView.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"
#include "views/CListCtrlBox.h"

namespace {

const std::string kNotFound = "見つかりません";

struct Entry {
    const char* title;
    const char* memo;
    const char* genre;
    const char* file;  // in the files folder; "" for an empty file of its own
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A catalog with one category "Genre" whose items get the titles, memos and files given; the files that
// do not exist yet are made empty.
QString writeCatalog(const QString& catalogs, const QString& files, const std::vector<Entry>& entries) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(catalogs.toStdString(), "Search");
    catalog.addCategory("Genre");
    for (const Entry& entry : entries) {
        auto item = catalog.newItem(false);
        item->setTitle(entry.title);
        item->setMemo(entry.memo);
        item->setValueStrings({entry.genre});
        const QString path =
            files + "/" + (*entry.file != '\0' ? QString(entry.file) : QString(entry.title) + ".dat");
        if (!QFileInfo::exists(path)) {
            writeFile(path, {});
        }
        item->setStoredPath(path.toStdString());
        catalog.addItem(std::move(item));
    }
    if (CCatalogFile::write(catalog, catalog.path())) {
        return {};
    }
    return QString::fromStdString(catalog.path());
}

struct Targets {
    bool name = true, path = true, memo = true, textFile = false, category = false;
};

// Answers the item search dialog: types the text and sets the boxes as a user would, then "開始".
void answerItemSearch(const QString& text, Targets targets, int categoryRow = -1) {
    whenShown<CFileSearchDlg>([=](CFileSearchDlg& dialog) {
        auto* edit = child<QComboBox>(dialog, "text")->lineEdit();
        edit->selectAll();
        typeText(edit, text);
        const std::pair<const char*, bool> boxes[] = {{"inName", targets.name},
                                                      {"inPath", targets.path},
                                                      {"inMemo", targets.memo},
                                                      {"inTextFile", targets.textFile},
                                                      {"inCategory", targets.category}};
        for (const auto& [name, wanted] : boxes) {
            auto* box = child<QCheckBox>(dialog, name);
            if (box->isChecked() != wanted) {
                QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(4, box->height() / 2));
            }
        }
        if (categoryRow >= 0) {
            auto* list = child<QListWidget>(dialog, "categories");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(categoryRow)).center());
        }
        clickButton(dialog, QDialogButtonBox::Ok);
    });
}

QString currentTitle(CTestSession& session) {
    const CFileItem* item = session.frame().fileListView()->currentItem();
    return item ? QString::fromStdString(std::string(item->displayName())) : QString();
}

QStringList comboEntries(QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries.append(combo->itemText(i));
    }
    return entries;
}

QStringList selectedOf(CListCtrlBox* list) {
    QStringList texts;
    for (const int row : list->selectedRows()) {
        texts.append(list->model()->index(row, 0).data().toString());
    }
    return texts;
}

bool startShown(CTestSession& session, const QString& path) {
    if (!session.start({path})) {
        return false;
    }
    session.frame().show();
    session.frame().activateWindow();
    return QTest::qWaitForWindowActive(&session.frame());
}

}  // namespace

class SearchTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemSearchWalksFromTheCurrentRow();
    void historiesSurviveARestart();
    void valueSearchSelectsInTheCategoryPane();
};

void SearchTest::itemSearchWalksFromTheCurrentRow() {
    CTestSession session;
    const QString files = session.home().path() + "/files";
    // The hit lies 12 bytes into the file; the name of the same item holds no "needle".
    writeFile(files + "/notes.txt", "line one\r\nA NEEDLE in the text\r\n");
    const QString path = writeCatalog(session.catalogsFolder(), files,
                                      {{"1 Apple", "", "Fruit", ""},
                                       {"2 Banana", "apple cake", "Fruit", ""},
                                       {"3 apple pie", "", "Cake", ""},
                                       {"4 Cherry", "", "Apple tree", ""},
                                       {"5 notes.txt", "", "Text", "notes.txt"}});
    QVERIFY(!path.isEmpty());
    QVERIFY(startShown(session, path));
    CFileListView& list = *session.frame().fileListView();
    list.setFocus();
    QCOMPARE(currentTitle(session), QStringLiteral("1 Apple"));

    // The first search includes the current row; matching ignores case.
    answerItemSearch("APPLE", Targets{.name = true, .path = false, .memo = false});
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(currentTitle(session), QStringLiteral("1 Apple"));

    // Next never returns the current row; memos are not looked at; at the end nothing wraps around.
    QVERIFY(session.run(cmd::kItemSearchNext));
    QCOMPARE(currentTitle(session), QStringLiteral("3 apple pie"));
    session.ui().clear();
    QVERIFY(session.run(cmd::kItemSearchNext));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(currentTitle(session), QStringLiteral("3 apple pie"));
    QVERIFY(session.run(cmd::kItemSearchPrevious));
    QCOMPARE(currentTitle(session), QStringLiteral("1 Apple"));
    session.ui().clear();
    QVERIFY(session.run(cmd::kItemSearchPrevious));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(currentTitle(session), QStringLiteral("1 Apple"));

    // Memo and one category: from the current row on, each property finds its own item.
    answerItemSearch("apple", Targets{.name = false, .path = false, .memo = true, .category = true}, 0);
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(currentTitle(session), QStringLiteral("2 Banana"));
    QVERIFY(session.run(cmd::kItemSearchNext));
    QCOMPARE(currentTitle(session), QStringLiteral("4 Cherry"));

    // Every box cleared: nothing is ever found.
    session.ui().clear();
    answerItemSearch("apple", Targets{.name = false, .path = false, .memo = false});
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(currentTitle(session), QStringLiteral("4 Cherry"));

    // A hit inside a text file makes its row current and hands the offset and the text to the preview,
    // although the search began on another row.
    answerItemSearch("needle", Targets{.name = true, .path = false, .memo = false, .textFile = true});
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(currentTitle(session), QStringLiteral("5 notes.txt"));
    QCOMPARE(session.frame().textView()->searchHitOffset(), 12);
    QCOMPARE(session.frame().textView()->searchHitText(), QStringLiteral("needle"));
}

void SearchTest::historiesSurviveARestart() {
    CTestSession session;
    const QString files = session.home().path() + "/files";
    const QString path =
        writeCatalog(session.catalogsFolder(), files, {{"alpha", "", "Rock", ""}, {"beta", "", "Pop", ""}});
    QVERIFY(startShown(session, path));

    answerItemSearch("alpha", Targets{});
    QVERIFY(session.run(cmd::kItemSearch));
    answerItemSearch("beta", Targets{.name = true, .path = false, .memo = false, .category = true}, 0);
    QVERIFY(session.run(cmd::kItemSearch));
    session.frame().categoryView()->list(0)->setFocus();
    whenShown<CSearchDlg>([](CSearchDlg& dialog) {
        typeText(child<QComboBox>(dialog, "text")->lineEdit(), "Ro");
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kValueSearch));
    QCOMPARE(session.setting("Search/FileName00").toString(), QStringLiteral("beta"));
    QCOMPARE(session.setting("Search/FileName01").toString(), QStringLiteral("alpha"));

    // The next run offers both texts, most recent first, with the boxes and the category as they were left.
    QVERIFY(startShown(session, path));
    QStringList offered;
    QString shownText;
    bool boxesKept = false;
    whenShown<CFileSearchDlg>([&](CFileSearchDlg& dialog) {
        offered = comboEntries(child<QComboBox>(dialog, "text"));
        shownText = child<QComboBox>(dialog, "text")->currentText();
        auto* categories = child<QListWidget>(dialog, "categories");
        boxesKept = child<QCheckBox>(dialog, "inName")->isChecked() &&
                    !child<QCheckBox>(dialog, "inPath")->isChecked() &&
                    child<QCheckBox>(dialog, "inCategory")->isChecked() && categories->isEnabled() &&
                    categories->currentRow() == 0;
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(offered, (QStringList{"beta", "alpha"}));
    QCOMPARE(shownText, QStringLiteral("beta"));
    QVERIFY(boxesKept);

    // Searching an older text again moves it to the top; the other keeps its place after it.
    answerItemSearch("alpha", Targets{});
    QVERIFY(session.run(cmd::kItemSearch));
    QCOMPARE(session.setting("Search/FileName00").toString(), QStringLiteral("alpha"));
    QCOMPARE(session.setting("Search/FileName01").toString(), QStringLiteral("beta"));

    QStringList valueTexts;
    whenShown<CSearchDlg>([&valueTexts](CSearchDlg& dialog) {
        auto* text = child<QComboBox>(dialog, "text");
        valueTexts = comboEntries(text) << text->currentText();
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    session.frame().categoryView()->list(0)->setFocus();
    QVERIFY(session.run(cmd::kValueSearch));
    QCOMPARE(valueTexts, (QStringList{"Ro", "Ro"}));
}

void SearchTest::valueSearchSelectsInTheCategoryPane() {
    CTestSession session;
    const QString files = session.home().path() + "/files";
    const QString path = writeCatalog(session.catalogsFolder(), files,
                                      {{"a", "", "Jazz", ""},
                                       {"b", "", "Rock", ""},
                                       {"c", "", "Pop", ""},
                                       {"d", "", "Rockabilly", ""},
                                       {"e", "", "Art rock", ""}});
    QVERIFY(startShown(session, path));
    CCategoryView& pane = *session.frame().categoryView();
    CListCtrlBox* genres = pane.list(0);
    CFileCatalog& catalog = session.catalog();

    // The pane, given the focus, passes it on to its first list: next and previous search there.
    pane.setFocus();
    QVERIFY(genres->hasFocus());
    QCOMPARE(pane.focusedList(), 0);

    // The dialog offers the shown categories preset to the focused list; the first value containing the
    // text (case-sensitive) is selected as a user would select it, and the item list follows.
    genres->setFocus();
    QStringList offeredCategories;
    whenShown<CSearchDlg>([&offeredCategories](CSearchDlg& dialog) {
        offeredCategories = comboEntries(child<QComboBox>(dialog, "category"));
        typeText(child<QComboBox>(dialog, "text")->lineEdit(), "Rock");
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kValueSearch));
    QCOMPARE(offeredCategories, QStringList{"Genre"});
    QCOMPARE(selectedOf(genres), QStringList{"Rock"});
    QCOMPARE(catalog.displayedCount(), 1);
    // The main window is active again once the dialog has gone, with the list focused.
    session.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.frame()));
    QVERIFY(genres->hasFocus());

    // Next walks on from the current row, and stops at the end without wrapping.
    QVERIFY(session.run(cmd::kValueSearchNext));
    QCOMPARE(selectedOf(genres), QStringList{"Rockabilly"});
    QCOMPARE(QString::fromStdString(std::string(catalog.displayedItem(0)->displayName())),
             QStringLiteral("d"));
    session.ui().clear();
    QVERIFY(session.run(cmd::kValueSearchNext));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kNotFound});
    QCOMPARE(selectedOf(genres), QStringList{"Rockabilly"});
    QVERIFY(session.run(cmd::kValueSearchPrevious));
    QCOMPARE(selectedOf(genres), QStringList{"Rock"});
    session.ui().clear();
    QVERIFY(session.run(cmd::kValueSearchPrevious));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{kNotFound});

    // "rock" in lower case is only in "Art rock".
    whenShown<CSearchDlg>([](CSearchDlg& dialog) {
        auto* edit = child<QComboBox>(dialog, "text")->lineEdit();
        edit->selectAll();
        typeText(edit, "rock");
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kValueSearch));
    QCOMPARE(selectedOf(genres), QStringList{"Art rock"});
    QCOMPARE(catalog.displayedCount(), 1);
}

QTEST_MAIN(SearchTest)
#include "SearchTest.moc"
