// The filter, sort and option dialogs driven as a user drives them, in the whole program: a filter of
// three conditions built in the dialogs down to the rows of the grid and read back from the saved catalog,
// the sort dialog against heading double-clicks, the extension lists and the options dialog.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "CHintRecorder.h"
#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "dialogs/CExtSetDlg.h"
#include "dialogs/CFilterDlg.h"
#include "dialogs/CFilterItemDlg.h"
#include "dialogs/CMenuButton.h"
#include "dialogs/CSetDlg.h"
#include "dialogs/CSortDlg.h"
#include "dialogs/DialogDriver.h"
#include "grid/CUGCell.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

// Grid columns: 0 check, 1 名前, 2 日付, 3 サイズ, 4 種類.
constexpr int kNameCol = 1;
constexpr int kSizeCol = 3;
constexpr int kKindCol = 4;

// Five files of the sizes given, with one category "種類", in a catalog of their own.
QString writeCatalog(CTestSession& session) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Files");
    catalog.setUseShortcuts(false);
    catalog.addCategory("種類");
    const struct {
        const char* name;
        int size;
        const char* kind;
    } files[] = {{"a.txt", 500, "文書"},
                 {"b.txt", 1500, "文書"},
                 {"c.jpg", 3000, "写真"},
                 {"d.txt", 1000, "メモ"},
                 {"e.jpg", 200, "写真"}};
    const QString folder = session.home().path() + "/files";
    QDir().mkpath(folder);
    for (const auto& file : files) {
        const QString path = folder + "/" + file.name;
        QFile data(path);
        if (!data.open(QIODevice::WriteOnly)) {
            return {};
        }
        data.write(QByteArray(file.size, 'x'));
        auto item = catalog.newItem(false);
        item->setValueStrings({file.kind});
        item->setPath(path.toStdString(), catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    const std::string path = catalog.path();
    return CCatalogFile::write(catalog, path) ? QString() : QString::fromStdString(path);
}

QStringList lines(const QListWidget& list) {
    QStringList texts;
    for (int line = 0; line < list.count(); ++line) {
        texts << list.item(line)->text();
    }
    return texts;
}

QStringList entries(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) {
        texts << box.itemText(i);
    }
    return texts;
}

void click(QWidget& dialog, const char* name) {
    auto* button = child<QAbstractButton>(dialog, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Answers the next condition dialog: chooses the target, types the value, chooses the operator and, for
// a condition after the first, the conjunction; then OK.
void answerCondition(const QString& conjunction, const QString& target, const QString& value,
                     const QString& op) {
    whenShown<CFilterItemDlg>([=](CFilterItemDlg& dialog) {
        QCOMPARE(dialog.conjunctionBox()->isVisible(), !conjunction.isEmpty());
        if (!conjunction.isEmpty()) {
            dialog.conjunctionBox()->setCurrentText(conjunction);
        }
        dialog.targetBox()->setCurrentText(target);
        QLineEdit* valueEdit = dialog.valueBox()->lineEdit();
        valueEdit->clear();
        typeText(valueEdit, value);
        dialog.operatorBox()->setCurrentText(op);
        QCOMPARE(dialog.operatorBox()->currentText(), op);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
}

// Picks the entry of the popup menu that opens next, by its text, with the keyboard.
void chooseFromNextMenu(QStringList* offered, const QString& text) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        for (QAction* action : menu->actions()) {
            offered->append(action->text());
        }
        for (QAction* action : menu->actions()) {
            QTest::keyClick(menu, Qt::Key_Down);
            if (action->text() == text) {
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        menu->close();
    });
    timer->start();
}

}  // namespace

class FilterSortOptionsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void filterBuiltInTheDialogsSurvivesReopening();
    void sortDialogOrdersAsHeadingClicks();
    void extensionListsKeepTheirRules();
    void optionsChangeTheGridAtOnceAndAreStored();
};

void FilterSortOptionsTest::filterBuiltInTheDialogsSurvivesReopening() {
    CTestSession session;
    const QString path = writeCatalog(session);
    QVERIFY(!path.isEmpty());
    QVERIFY(session.start({path}));
    MyCug& grid = session.grid();
    QCOMPARE(CTestSession::columnTexts(grid, kNameCol), (QStringList{"a.txt", "b.txt", "c.jpg", "d.txt", "e.jpg"}));
    auto recorder = std::make_unique<CHintRecorder>(session.document());  // goes before the document does

    // Three conditions, each through the condition dialog; the list reads them as sentences.
    QStringList shown;
    QStringList sizeOperators;
    whenShown<CFilterDlg>([&](CFilterDlg& dialog) {
        answerCondition("", "名前", "txt", "を含む");
        click(dialog, "addButton");
        whenShown<CFilterItemDlg>([&](CFilterItemDlg& item) {
            // A new target brings its own operators, the first one chosen; the typed text stays.
            typeText(item.valueBox()->lineEdit(), "1000");
            item.targetBox()->setCurrentText("サイズ");
            sizeOperators = entries(*item.operatorBox());
            QCOMPARE(item.operatorBox()->currentIndex(), 0);
            QCOMPARE(item.valueBox()->currentText(), QString("1000"));
            QCOMPARE(item.conjunctionBox()->currentText(), QString("かつ"));
            clickButton(item, QDialogButtonBox::Ok);
        });
        click(dialog, "addButton");
        answerCondition("または", "種類", "写真", "と等しい");
        click(dialog, "addButton");
        // A condition cancelled is not added.
        whenShown<CFilterItemDlg>([](CFilterItemDlg& item) { clickButton(item, QDialogButtonBox::Cancel); });
        click(dialog, "addButton");
        shown = lines(*dialog.conditionList());
        click(dialog, "runButton");
    });
    QVERIFY(session.run(cmd::kFilterSettings));
    QCOMPARE(sizeOperators, (QStringList{"以上", "と等しい", "以下"}));
    QCOMPARE(shown, (QStringList{"ファイル名 が txt を含む", "かつ サイズ が 1000 以上",
                                 "または 種類 が 写真 と等しい"}));
    // ((name has txt) and size >= 1000) or 種類 = 写真, strictly left to right.
    QCOMPARE(CTestSession::columnTexts(grid, kNameCol), (QStringList{"b.txt", "c.jpg", "d.txt", "e.jpg"}));
    QCOMPARE(CTestSession::columnTexts(grid, kSizeCol), (QStringList{"1,500", "3,000", "1,000", "200"}));
    QCOMPARE(recorder->hints, QList<int>{10});
    QVERIFY(session.frame().commandState(cmd::kRunFilter).checked);
    QVERIFY(session.run(cmd::kFileSave));
    recorder.reset();
    session.stop();

    // Opened again the conditions are there, as they were written, and filtering is off until asked for.
    QVERIFY(session.start({path}));
    MyCug& reopened = session.grid();
    QCOMPARE(reopened.numberRows(), 5);
    whenShown<CFilterDlg>([&](CFilterDlg& dialog) {
        shown = lines(*dialog.conditionList());
        click(dialog, "closeButton");
    });
    QVERIFY(session.run(cmd::kFilterSettings));
    QCOMPARE(shown, (QStringList{"ファイル名 が txt を含む", "かつ サイズ が 1000 以上",
                                 "または 種類 が 写真 と等しい"}));
    QCOMPARE(reopened.numberRows(), 5);  // "閉じる" leaves filtering off

    // Moved up, the 種類 condition is evaluated second: ((name has txt) or 種類 = 写真) and size >= 1000.
    // Deleting the first line leaves the 種類 condition first, its "または" no longer shown nor used.
    QStringList moved;
    QStringList deleted;
    whenShown<CFilterDlg>([&](CFilterDlg& dialog) {
        QListWidget& list = *dialog.conditionList();
        list.setCurrentRow(2);
        click(dialog, "upButton");
        QCOMPARE(list.currentRow(), 1);
        moved = lines(list);
        list.setCurrentRow(0);
        click(dialog, "upButton");  // the first line stays where it is
        QCOMPARE(lines(list), moved);
        click(dialog, "runButton");
    });
    QVERIFY(session.run(cmd::kFilterSettings));
    QCOMPARE(moved, (QStringList{"ファイル名 が txt を含む", "または 種類 が 写真 と等しい",
                                 "かつ サイズ が 1000 以上"}));
    QCOMPARE(CTestSession::columnTexts(reopened, kNameCol), (QStringList{"b.txt", "c.jpg", "d.txt"}));

    session.ui().scriptAnswers({false, true});
    whenShown<CFilterDlg>([&](CFilterDlg& dialog) {
        QListWidget& list = *dialog.conditionList();
        list.setCurrentRow(0);
        click(dialog, "deleteButton");  // answered Cancel
        QCOMPARE(list.count(), 3);
        click(dialog, "deleteButton");  // answered OK
        deleted = lines(list);
        QCOMPARE(list.currentRow(), 0);
        click(dialog, "closeButton");
    });
    QVERIFY(session.run(cmd::kFilterSettings));
    QCOMPARE(deleted, (QStringList{"種類 が 写真 と等しい", "かつ サイズ が 1000 以上"}));
    QCOMPARE(session.ui().texts().back(), std::string("削除しますか？"));
    // Filtering is on, so "閉じる" applies the conditions as they are now.
    QCOMPARE(CTestSession::columnTexts(reopened, kNameCol), (QStringList{"c.jpg"}));
    QCOMPARE(reopened.quickGetText(kKindCol, 0), QString("写真"));
}

void FilterSortOptionsTest::sortDialogOrdersAsHeadingClicks() {
    CTestSession session;
    const QString path = writeCatalog(session);
    QVERIFY(session.start({path}));
    MyCug& grid = session.grid();

    // 種類 ascending, then サイズ twice: サイズ descending first, 種類 second.
    const auto doubleClickHeading = [&grid](int col) {
        QHeaderView& top = *grid.horizontalHeader();
        const QPoint centre(top.sectionViewportPosition(col) + top.sectionSize(col) / 2, top.height() / 2);
        QTest::mouseDClick(top.viewport(), Qt::LeftButton, {}, centre);
    };
    doubleClickHeading(kKindCol);
    doubleClickHeading(kSizeCol);
    doubleClickHeading(kSizeCol);
    const QStringList byHeadings = CTestSession::columnTexts(grid, kNameCol);
    QCOMPARE(byHeadings, (QStringList{"c.jpg", "b.txt", "d.txt", "a.txt", "e.jpg"}));
    session.stop();  // not saved: the catalog comes back with its default keys

    QVERIFY(session.start({path}));
    MyCug& again = session.grid();
    QCOMPARE(CTestSession::columnTexts(again, kNameCol), (QStringList{"a.txt", "b.txt", "c.jpg", "d.txt", "e.jpg"}));
    QStringList before;
    QStringList after;
    QStringList offered;
    bool addEnabledAtTheEnd = true;
    session.ui().scriptAnswers({true});
    whenShown<CSortDlg>([&](CSortDlg& dialog) {
        QListWidget& list = *dialog.keyList();
        before = lines(list);
        QCOMPARE(list.currentRow(), 0);
        QVERIFY(child<QRadioButton>(dialog, "ascending")->isChecked());
        QVERIFY(!dialog.addMenuButton()->isEnabled());  // every key is in the list
        // 種類 to the top, then (サイズ) above it, descending.
        list.setCurrentRow(5);
        for (int i = 0; i < 5; ++i) {
            click(dialog, "upButton");
        }
        list.setCurrentRow(3);
        for (int i = 0; i < 3; ++i) {
            click(dialog, "upButton");
        }
        QVERIFY(!child<QPushButton>(dialog, "upButton")->isEnabled());
        click(dialog, "descending");
        // (拡張子) deleted comes back through the add menu, the only key it offers, at the end.
        list.setCurrentRow(4);
        click(dialog, "deleteButton");
        QVERIFY(dialog.addMenuButton()->isEnabled());
        chooseFromNextMenu(&offered, "(拡張子)");
        click(dialog, "addButton");
        addEnabledAtTheEnd = dialog.addMenuButton()->isEnabled();
        after = lines(list);
        QCOMPARE(list.currentRow(), 5);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kSortSettings));
    QCOMPARE(before, (QStringList{"(ファイル名)", "(日付)", "(サイズ)", "(拡張子)", "(フォルダ)", "種類"}));
    QCOMPARE(offered, QStringList{"(拡張子)"});
    QVERIFY(!addEnabledAtTheEnd);
    QCOMPARE(after, (QStringList{"(サイズ)", "種類", "(ファイル名)", "(日付)", "(フォルダ)", "(拡張子)"}));
    QCOMPARE(session.ui().texts().back(), std::string("(拡張子)を削除しますか？"));
    QCOMPARE(CTestSession::columnTexts(again, kNameCol), byHeadings);

    // Every key deleted: the dialog leaves the name key, ascending.
    session.ui().scriptAnswers({true, true, true, true, true, true});
    whenShown<CSortDlg>([&](CSortDlg& dialog) {
        for (int i = 0; i < 6; ++i) {
            click(dialog, "deleteButton");
        }
        QCOMPARE(dialog.keyList()->count(), 0);
        QVERIFY(!child<QPushButton>(dialog, "deleteButton")->isEnabled());
        dialog.reject();
    });
    QVERIFY(session.run(cmd::kSortSettings));
    QCOMPARE(session.catalog().sortKeys().count(), 1);
    QCOMPARE(session.catalog().sortKeys().primaryKey(), -1);
    QCOMPARE(CTestSession::columnTexts(again, kNameCol), (QStringList{"a.txt", "b.txt", "c.jpg", "d.txt", "e.jpg"}));
}

void FilterSortOptionsTest::extensionListsKeepTheirRules() {
    CTestSession session;
    QVERIFY(session.start());

    QString caption;
    QString explanation;
    QStringList shown;
    whenShown<CExtSetDlg>([&](CExtSetDlg& dialog) {
        caption = dialog.windowTitle();
        explanation = child<QLabel>(dialog, "explanation")->text();
        QLineEdit& edit = *dialog.extensionEdit();
        QListWidget& list = *dialog.extensionList();
        for (const char* typed : {".TXT", "..md", "..", "tXt"}) {
            typeText(&edit, QString::fromUtf8(typed));
            QTest::keyClick(&edit, Qt::Key_Return);  // Enter in the field adds, it does not close
            QVERIFY(edit.text().isEmpty());
        }
        list.clearSelection();
        click(dialog, "deleteButton");  // nothing selected: nothing deleted
        shown = lines(list);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kNoPreviewExtensions));
    QCOMPARE(caption, QString("プレビュー不可の設定"));
    QCOMPARE(explanation, QString("プレビューできない拡張子を登録してください。"));
    // Leading dots go; an empty text and an extension already listed (whatever its case) add nothing.
    QCOMPARE(shown, (QStringList{"TXT", "md"}));
    QCOMPARE(session.app().noPreviewExtensions().extensions(), (std::vector<std::string>{"TXT", "md"}));

    // Cancel after adds and deletes keeps the list as it was.
    whenShown<CExtSetDlg>([&](CExtSetDlg& dialog) {
        caption = dialog.windowTitle();
        shown = lines(*dialog.extensionList());
        dialog.extensionList()->setCurrentRow(2);
        click(dialog, "deleteButton");
        QCOMPARE(dialog.extensionList()->currentRow(), 1);  // the removed line was the last
        typeText(dialog.extensionEdit(), "md");
        click(dialog, "addButton");
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(session.run(cmd::kTextFileExtensions));
    QCOMPARE(caption, QString("テキストファイル拡張子の設定"));
    QCOMPARE(shown, (QStringList{"txt", "htm", "html"}));
    QCOMPARE(session.app().textFileExtensions().extensions(),
             (std::vector<std::string>{"txt", "htm", "html"}));

    // The lists are kept at exit.
    session.stop();
    QCOMPARE(session.setting("NoPreview/Count").toInt(), 2);
    QCOMPARE(session.setting("NoPreview/Ext00").toString(), QString("TXT"));
    QCOMPARE(session.setting("NoPreview/Ext01").toString(), QString("md"));
    QCOMPARE(session.setting("TextFile/Count").toInt(), 3);
}

void FilterSortOptionsTest::optionsChangeTheGridAtOnceAndAreStored() {
    CTestSession session;
    const QString path = writeCatalog(session);
    session.presetSettings({{"System/FolderSoft", "/usr/bin/pcmanfm"}});
    QVERIFY(session.start({path}));
    MyCug& grid = session.grid();
    QCOMPARE(grid.getCell(kKindCol, 0).cellType(), CUGCellKind::DropList);
    auto recorder = std::make_unique<CHintRecorder>(session.document());  // goes before the document does

    bool presetRight = false;
    whenShown<CSetDlg>([&](CSetDlg& dialog) {
        presetRight = child<QCheckBox>(dialog, "dropList")->isChecked() &&
                      child<QCheckBox>(dialog, "typing")->isChecked() &&
                      !child<QCheckBox>(dialog, "useSusiePlugin")->isChecked() &&
                      child<QLineEdit>(dialog, "folderApplication")->text() == "/usr/bin/pcmanfm" &&
                      child<QCheckBox>(dialog, "openLastCatalog")->isChecked() &&
                      child<QCheckBox>(dialog, "confirmTextSave")->isChecked();
        QTest::mouseClick(child<QCheckBox>(dialog, "dropList"), Qt::LeftButton);
        QTest::mouseClick(child<QCheckBox>(dialog, "useSusiePlugin"), Qt::LeftButton);
        QLineEdit* application = child<QLineEdit>(dialog, "folderApplication");
        application->clear();
        typeText(application, "/usr/bin/thunar");
        // The folder chooser starts at the typed folder; what is typed elsewhere stays.
        typeText(child<QLineEdit>(dialog, "pluginFolder"), "/opt/old");
        QString started;
        dialog.setFolderChooser([&started](QWidget*, const QString& current) -> std::optional<QString> {
            started = current;
            return QString("/opt/plugins");
        });
        click(dialog, "pluginBrowse");
        QCOMPARE(started, QString("/opt/old"));
        QCOMPARE(child<QLineEdit>(dialog, "pluginFolder")->text(), QString("/opt/plugins"));
        QCOMPARE(application->text(), QString("/usr/bin/thunar"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kOptions));
    QVERIFY(presetRight);
    // The grid takes the mode at once: the category cells are plain cells now.
    QVERIFY(!grid.dropListMode());
    QCOMPARE(grid.getCell(kKindCol, 0).cellType(), CUGCellKind::Normal);
    QCOMPARE(recorder->hints, QList<int>{2});
    QCOMPARE(session.app().susiePluginFolder(), QString("/opt/plugins"));
    QCOMPARE(session.setting("System/DropList").toInt(), 0);
    QCOMPARE(session.setting("System/StrEdit").toInt(), 1);
    QCOMPARE(session.setting("System/UseSusiePlugin").toInt(), 1);
    QCOMPARE(session.setting("System/SusiePlugin").toString(), QString("/opt/plugins"));
    QCOMPARE(session.setting("System/FolderSoft").toString(), QString("/usr/bin/thunar"));
    QCOMPARE(session.setting("System/InitFile").toInt(), 1);

    // Cancelled, the options change nothing.
    whenShown<CSetDlg>([](CSetDlg& dialog) {
        QTest::mouseClick(child<QCheckBox>(dialog, "typing"), Qt::LeftButton);
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(session.run(cmd::kOptions));
    QVERIFY(grid.typingMode());
    QCOMPARE(session.setting("System/StrEdit").toInt(), 1);

    // The next run starts with the stored mode.
    recorder.reset();
    session.stop();
    QVERIFY(session.start({path}));
    QVERIFY(!session.grid().dropListMode());
    QCOMPARE(session.grid().getCell(kKindCol, 0).cellType(), CUGCellKind::Normal);
}

QTEST_MAIN(FilterSortOptionsTest)
#include "FilterSortOptionsTest.moc"
