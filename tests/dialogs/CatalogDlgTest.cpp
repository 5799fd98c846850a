// The catalog list: which catalogs it finds, their dates (checked against date(1)), sorting by each
// column, the folder history, the chosen path, and renaming closed catalogs on disk.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>

#include "CTestHome.h"
#include "DialogDriver.h"
#include "dialogs/CCatalogDlg.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/DialogHelp.h"
#include "platform/CMemoryProfile.h"
#include "support/CRecordingUserInterface.h"

namespace {

// A catalog file parent/folder/name.qlry last written at the given local time.
QString makeCatalog(const QString& parent, const QString& folder, const QString& name, const QString& time) {
    const QString path = parent + "/" + folder + "/" + name + ".qlry";
    CTestHome::touch(path);
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::fromString(time, "yyyy-MM-dd HH:mm"), QFileDevice::FileModificationTime);
    return path;
}

QStringList column(const QTreeWidget& list, int index) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts.append(list.topLevelItem(i)->text(index));
    }
    return texts;
}

QString selectedName(const QTreeWidget& list) {
    const QList<QTreeWidgetItem*> items = list.selectedItems();
    return items.isEmpty() ? QString() : items.front()->text(0);
}

void selectRow(QTreeWidget& list, const QString& name) {
    list.setCurrentItem(list.findItems(name, Qt::MatchExactly, 0).value(0));
}

void clickHeading(QTreeWidget& list, int section) {
    QHeaderView* header = list.header();
    const QPoint centre(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                        header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

void renameTo(CCatalogDlg& dialog, const QString& name) {
    whenShown<CInputDlg>([name](CInputDlg& input) {
        input.findChild<QLineEdit*>()->clear();
        typeText(input.findChild<QLineEdit*>(), name);
        clickButton(input, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
}

}  // namespace

class CatalogDlgTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listsCatalogsOneFolderDown();
    void sortsByEachColumn();
    void folderHistoryAndResult();
    void renamesClosedCatalogsOnly();
};

void CatalogDlgTest::listsCatalogsOneFolderDown() {
    CTestHome home;
    CMemoryProfile profile;
    const QString parent = home.documents() + "/Quillory";
    const QString a = makeCatalog(parent, "a", "a", "2024-03-05 09:07");
    makeCatalog(parent, "b", "x", "2023-12-31 23:59");
    CTestHome::touch(parent + "/top.qlry");         // directly in the parent folder: not a catalog folder
    CTestHome::touch(parent + "/c/deep/d/d.qlry");  // two levels down: not listed
    CTestHome::touch(parent + "/c/notes.txt");

    CCatalogDlg dialog(profile);  // no history: the default catalog folder
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("カタログの選択"));
    QTreeWidget& list = dialog.list();
    QCOMPARE(list.headerItem()->text(0), QStringLiteral("カタログ名"));
    QCOMPARE(list.headerItem()->text(1), QStringLiteral("更新日付"));
    QCOMPARE(list.headerItem()->text(2), QStringLiteral("フォルダ"));
    QCOMPARE(list.columnWidth(1), 100);
    QCOMPARE(column(list, 0), (QStringList{"a", "x"}));
    QCOMPARE(column(list, 2), (QStringList{parent + "/a", parent + "/b"}));
    QCOMPARE(selectedName(list), QStringLiteral("a"));

    // The date is the file's time in local time as date(1) prints it.
    QProcess date;
    date.start("date", {"-r", a, "+%Y/%m/%d %H:%M"});
    QVERIFY(date.waitForFinished());
    QCOMPARE(list.topLevelItem(0)->text(1), QString::fromUtf8(date.readAllStandardOutput()).trimmed());
    QCOMPARE(list.topLevelItem(0)->text(1), QStringLiteral("2024/03/05 09:07"));

    // A missing parent folder lists nothing, and OK then chooses nothing.
    CCatalogDlg empty(profile);
    empty.setFolder(home.path() + "/nowhere");
    empty.show();
    QCOMPARE(empty.list().topLevelItemCount(), 0);
    clickButton(empty, QDialogButtonBox::Ok);
    QCOMPARE(empty.result(), int(QDialog::Accepted));
    QCOMPARE(empty.selectedPath(), QString());
}

void CatalogDlgTest::sortsByEachColumn() {
    CTestHome home;
    CMemoryProfile profile;
    const QString parent = home.path() + "/cat";
    makeCatalog(parent, "1", "写真", "2021-01-02 03:04");
    makeCatalog(parent, "2", "Books", "2022-11-30 10:00");
    makeCatalog(parent, "3", "books", "2020-05-06 07:08");
    makeCatalog(parent, "4", "ｱﾆﾒ", "2023-02-01 00:00");
    profile.writeString("Folder", "Catalog00", parent.toStdString());

    CCatalogDlg dialog(profile);
    dialog.show();
    QTreeWidget& list = dialog.list();
    // Code page 932 byte order, without case folding: ASCII, then kanji (lead byte 0x8E), then half-width
    // katakana (single bytes from 0xA1).
    QCOMPARE(column(list, 0), (QStringList{"Books", "books", "写真", "ｱﾆﾒ"}));
    QCOMPARE(selectedName(list), QStringLiteral("写真"));  // the first one found, in folder "1"

    clickHeading(list, 1);
    QCOMPARE(column(list, 0), (QStringList{"books", "写真", "Books", "ｱﾆﾒ"}));
    clickHeading(list, 1);
    QCOMPARE(column(list, 0), (QStringList{"ｱﾆﾒ", "Books", "写真", "books"}));
    QCOMPARE(selectedName(list), QStringLiteral("写真"));
    clickHeading(list, 2);
    QCOMPARE(column(list, 0), (QStringList{"写真", "Books", "books", "ｱﾆﾒ"}));
    clickHeading(list, 0);
    QCOMPARE(column(list, 0), (QStringList{"Books", "books", "写真", "ｱﾆﾒ"}));
    clickHeading(list, 0);
    QCOMPARE(column(list, 0), (QStringList{"ｱﾆﾒ", "写真", "books", "Books"}));
    QCOMPARE(selectedName(list), QStringLiteral("写真"));
}

void CatalogDlgTest::folderHistoryAndResult() {
    CTestHome home;
    CMemoryProfile profile;
    std::vector<int> helpShown;
    dialoghelp::setHandler([&](int context) { helpShown.push_back(context); });
    const QString first = home.path() + "/first";
    const QString second = home.path() + "/second";
    const QString third = home.path() + "/third";
    makeCatalog(first, "f", "f", "2024-01-01 00:00");
    const QString g = makeCatalog(second, "g", "g", "2024-01-01 00:00");
    makeCatalog(second, "h", "h", "2024-01-01 00:00");
    makeCatalog(third, "t", "t", "2024-01-01 00:00");
    profile.writeString("Folder", "Catalog00", first.toStdString());
    profile.writeString("Folder", "Catalog01", second.toStdString());

    CCatalogDlg dialog(profile);
    dialog.show();
    QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->buttons().value(2), Qt::LeftButton);
    QCOMPARE(child<QPushButton>(dialog, "helpButton")->text(), QStringLiteral("ヘルプ(&H)"));
    QTest::mouseClick(child<QPushButton>(dialog, "helpButton"), Qt::LeftButton);
    QVERIFY(!helpShown.empty());
    QCOMPARE(helpShown.back(), dialoghelp::kCatalogListContext);
    QCOMPARE(column(dialog.list(), 0), QStringList{"f"});

    // Choosing another entry of the history lists that folder.
    CFolderComboBox& box = dialog.folderBox();
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.currentText(), second);
    QCOMPARE(column(dialog.list(), 0), (QStringList{"g", "h"}));

    // Browsing to a folder lists it; a cancelled browse keeps the list.
    box.setFolderPicker([](QWidget*, const QString&) { return std::optional<QString>(); });
    QTest::mouseClick(child<QPushButton>(dialog, "browseButton"), Qt::LeftButton);
    QCOMPARE(column(dialog.list(), 0), (QStringList{"g", "h"}));
    box.setFolderPicker([&](QWidget*, const QString&) { return std::optional<QString>(third); });
    QTest::mouseClick(child<QPushButton>(dialog, "browseButton"), Qt::LeftButton);
    QCOMPARE(column(dialog.list(), 0), QStringList{"t"});
    clickButton(dialog, QDialogButtonBox::Cancel);
    QCOMPARE(profile.readString("Folder", "Catalog00", ""), first.toStdString());  // cancel stores nothing

    // A double-click chooses the row, and the folder heads the history.
    CCatalogDlg again(profile);
    again.setFolder(second);
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QTreeWidget& list = again.list();
    Q_EMIT list.itemDoubleClicked(list.topLevelItem(0), 0);
    QCOMPARE(again.result(), int(QDialog::Accepted));
    QCOMPARE(again.selectedPath(), g);
    QCOMPARE(profile.readString("Folder", "Catalog00", ""), second.toStdString());
    QCOMPARE(profile.readString("Folder", "Catalog01", ""), first.toStdString());
    dialoghelp::setHandler({});
}

void CatalogDlgTest::renamesClosedCatalogsOnly() {
    CTestHome home;
    CMemoryProfile profile;
    CRecordingUserInterface ui;
    const QString parent = home.path() + "/cat";
    const QString open = makeCatalog(parent, "開いている", "開いている", "2024-01-01 00:00");
    makeCatalog(parent, "旧名", "旧名", "2024-01-02 00:00");
    CTestHome::touch(parent + "/旧名/shortcut.lnk");
    makeCatalog(parent, "他", "他", "2024-01-03 00:00");
    profile.writeString("Folder", "Catalog00", parent.toStdString());

    CCatalogDlg dialog(profile);
    dialog.setOpenCatalogPath(open);
    dialog.show();
    QTreeWidget& list = dialog.list();

    // The open catalog is refused before any name is asked for.
    selectRow(list, "開いている");
    QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
    QCOMPARE(ui.texts(), std::vector<std::string>{"現在開いているカタログの名前変更はここではできません。["
                                                  "ファイル]-[現在のカタログ名変更]で可能です"});
    QVERIFY(QFileInfo::exists(open));

    // A closed catalog: its folder and its file take the new name, with everything in the folder.
    ui.clear();
    selectRow(list, "旧名");
    QString prompt;
    whenShown<CInputDlg>([&](CInputDlg& input) {
        prompt = input.prompt();
        QCOMPARE(input.value(), QStringLiteral("旧名"));
        input.findChild<QLineEdit*>()->clear();
        typeText(input.findChild<QLineEdit*>(), QStringLiteral("新名"));
        clickButton(input, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
    QCOMPARE(prompt, QStringLiteral("変更名を入力してください"));
    QVERIFY(ui.texts().empty());
    QVERIFY(!QFileInfo::exists(parent + "/旧名"));
    QVERIFY(QFileInfo::exists(parent + "/新名/新名.qlry"));
    QVERIFY(QFileInfo::exists(parent + "/新名/shortcut.lnk"));
    QCOMPARE(column(list, 0), (QStringList{"開いている", "新名", "他"}));  // 0x8A4A, 0x9056, 0x91BC

    // The same name, or a name of another catalog's folder, changes nothing.
    selectRow(list, "新名");
    renameTo(dialog, QStringLiteral("新名"));
    QVERIFY(ui.texts().empty());
    renameTo(dialog, QStringLiteral("他"));
    QCOMPARE(ui.texts(), std::vector<std::string>{"フォルダ名の変更が出来ませんでした"});
    QVERIFY(QFileInfo::exists(parent + "/新名/新名.qlry"));
    QVERIFY(QFileInfo::exists(parent + "/他/他.qlry"));
    ui.clear();
    selectRow(list, "新名");
    renameTo(dialog, QStringLiteral("sub/name"));
    QCOMPARE(ui.texts(), std::vector<std::string>{"フォルダ名の変更が出来ませんでした"});

    // The folder is renamed but a file of the new name is already inside: the file keeps its name and the
    // catalog shows under it in the renamed folder.
    ui.clear();
    CTestHome::touch(parent + "/新名/三番.qlry");
    selectRow(list, "新名");
    renameTo(dialog, QStringLiteral("三番"));
    QCOMPARE(ui.texts(), std::vector<std::string>{"ファイル名の変更が出来ませんでした"});
    QVERIFY(QFileInfo::exists(parent + "/三番/新名.qlry"));
    QVERIFY(QFileInfo(parent + "/三番/三番.qlry").size() == 0);
    QVERIFY(column(list, 2).contains(parent + "/三番"));
    QVERIFY(column(list, 0).contains("新名"));

    // Cancelling the name asks nothing more.
    ui.clear();
    selectRow(list, "他");
    whenShown<CInputDlg>([](CInputDlg& input) { clickButton(input, QDialogButtonBox::Cancel); });
    QTest::mouseClick(child<QPushButton>(dialog, "renameButton"), Qt::LeftButton);
    QVERIFY(ui.texts().empty());
    QVERIFY(QFileInfo::exists(parent + "/他/他.qlry"));
}

QTEST_MAIN(CatalogDlgTest)
#include "CatalogDlgTest.moc"
