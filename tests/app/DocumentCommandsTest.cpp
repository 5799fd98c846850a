// The catalog-wide commands of the document, carried out through the main frame as the menus do: the fixed
// columns, the sort keys and their direction, the filter switch, the refresh commands, the catalog settings,
// the deletion of unused shortcuts, new files registered from a template, the XML and CSV exports and the
// HTML copy.

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include "CHintRecorder.h"
#include "CTestHome.h"
#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "catalog/CCatalogFolder.h"
#include "commands/CCatalogCommands.h"
#include "dialogs/CCatalogSetDlg.h"
#include "dialogs/CExportFileDialog.h"
#include "dialogs/CNewFileDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "search/CItemFilter.h"
#include "support/CRecordingUserInterface.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes, const QDateTime& modified) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.flush();
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

const QDateTime kDateA(QDate(2025, 2, 3), QTime(4, 5, 6));
const QDateTime kDateB(QDate(2023, 7, 8), QTime(9, 10, 11));
const QDateTime kDateC(QDate(2024, 12, 31), QTime(23, 59, 58));

// Three real files whose name, date, size and 作者 orders all differ:
// name a b c, date b c a, size c a b, 作者 b ("") a (佐藤) c (山田).
void fillThreeFiles(CFileCatalog& catalog, const QString& folder) {
    catalog.addCategory("ジャンル");
    catalog.addCategory("作者");
    struct File {
        const char* name;
        int size;
        QDateTime date;
        std::vector<std::string> values;
    };
    const File files[] = {{"a.jpg", 5, kDateA, {"写真", "佐藤"}},
                          {"b.txt", 20, kDateB, {"文書", ""}},
                          {"c.txt", 1, kDateC, {"文書,メモ", "山田"}}};
    for (const File& file : files) {
        const QString path = folder + "/" + file.name;
        writeFile(path, QByteArray(file.size, 'x'), file.date);
        auto item = catalog.newItem(false);
        item->setValueStrings(file.values);
        item->setPath(path.toStdString(), catalog.catalogFolder(), catalog.useShortcuts());
        catalog.addItem(std::move(item));
    }
    catalog.recompute();
}

QStringList displayedNames(const CFileCatalog& catalog) {
    QStringList names;
    for (const CFileItem* item : catalog.displayedItems()) {
        names.append(QString::fromStdString(std::string(item->displayName())));
    }
    return names;
}

QList<int> sortKeyCodes(const CFileCatalog& catalog) {
    QList<int> codes;
    for (const CSortItem& key : catalog.sortKeys().keys()) {
        codes.append(key.key());
    }
    return codes;
}

// Runs a tool; its exit code, with its standard output in `output`.
int runTool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        return -1;
    }
    if (output) {
        *output = process.readAllStandardOutput();
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QJsonArray pythonJson(const char* script, const QString& path) {
    QByteArray output;
    if (runTool("python3", {"-c", QString::fromUtf8(script), path}, &output) != 0) {
        return {};
    }
    return QJsonDocument::fromJson(output).array();
}

// Each "item" of an XML export as [filename, date, [attr name, text]...], read by Python's XML parser.
QJsonArray xmlItems(const QString& path) {
    static const char* script =
        "import json, sys, xml.etree.ElementTree as E\n"
        "root = E.parse(sys.argv[1]).getroot()\n"
        "assert root.tag == 'quillory'\n"
        "print(json.dumps([[i.findtext('filename'), i.findtext('date')] +\n"
        "                  [[a.get('name'), a.text] for a in i.iter('attr')] for i in root]))\n";
    return pythonJson(script, path);
}

QJsonArray csvRows(const QString& path) {
    static const char* script =
        "import csv, json, sys\n"
        "print(json.dumps(list(csv.reader(open(sys.argv[1], encoding='utf-8', newline='')))))\n";
    return pythonJson(script, path);
}

// The cells of every row of an HTML table, read by Python's XML parser.
QJsonArray htmlRows(const QString& path) {
    static const char* script =
        "import json, sys, xml.etree.ElementTree as E\n"
        "print(json.dumps([[td.text or '' for td in tr] for tr in E.parse(sys.argv[1]).getroot()]))\n";
    return pythonJson(script, path);
}

bool xmllintAccepts(const QString& path) {
    return runTool("xmllint", {"--noout", path}) == 0;
}

// What the export dialog showed when it opened.
struct ExportDialogSeen {
    QString title;
    QStringList fileTypes;
    QString initialFile;
    QString suffix;
};

void noteDialog(ExportDialogSeen* seen, CExportFileDialog& dialog) {
    *seen = ExportDialogSeen{};
    seen->title = dialog.windowTitle();
    if (auto* types = dialog.findChild<QComboBox*>("fileTypeCombo")) {
        for (int i = 0; i < types->count(); ++i) {
            seen->fileTypes.append(types->itemText(i));
        }
    }
    seen->initialFile = dialog.selectedFiles().value(0);
    seen->suffix = dialog.defaultSuffix();
}

// Answers the export dialogs from now on: notes what each one shows and chooses the path.
void answerExportDialogs(CTestSession& session, ExportDialogSeen* seen, const QString& path) {
    session.app().catalogCommands().setExportFileChooser(
        [seen, path](CExportFileDialog& dialog) -> std::optional<QString> {
            noteDialog(seen, dialog);
            return path;
        });
}

// Answers the next new-file dialog with the name and folder, typed as a user would.
void answerNewFileDialog(const QString& name, const QString& folder) {
    whenShown<CNewFileDlg>([name, folder](CNewFileDlg& dialog) {
        auto* nameEdit = child<QLineEdit>(dialog, "fileName");
        auto* folderEdit = child<QLineEdit>(dialog, "folder");
        typeText(nameEdit, name);
        folderEdit->clear();
        typeText(folderEdit, folder);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
}

}  // namespace

class DocumentCommandsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnsSortKeysFilterAndRefresh();
    void catalogSettingsNewFilesAndShortcuts();
    void exportsAndHtmlCopy();
};

void DocumentCommandsTest::columnsSortKeysFilterAndRefresh() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();
    CQuilloryDoc& document = session.document();
    CFileCatalog& catalog = session.catalog();
    fillThreeFiles(catalog, session.home().path() + "/files");
    document.setModifiedFlag(false);
    CHintRecorder recorder(document);

    // A fixed column: undo point, toggled, modified, hint 1; the menu entry follows the option.
    frame.updateCommandStates();
    QAction* dateColumn = frame.actions().find(cmd::kShowDateColumn);
    QVERIFY(dateColumn->isEnabled() && dateColumn->isChecked());
    const int undoPoints = document.undoHistory().count();
    dateColumn->trigger();
    QVERIFY(!catalog.showDate());
    QVERIFY(catalog.showName() && catalog.showSize());
    QVERIFY(document.isModified());
    QCOMPARE(recorder.hints, QList<int>{1});
    QCOMPARE(document.undoHistory().count(), undoPoints + 1);
    frame.updateCommandStates();
    QVERIFY(!dateColumn->isChecked());
    QVERIFY(frame.routeCommand(cmd::kShowSizeColumn));
    QVERIFY(frame.routeCommand(cmd::kShowNameColumn));
    QVERIFY(!catalog.showSize() && !catalog.showName());
    QVERIFY(!frame.commandState(cmd::kShowNameColumn).checked);
    QCOMPARE(recorder.hints, (QList<int>{1, 1, 1}));
    // Each toggle is undone on its own.
    QVERIFY(frame.routeCommand(cmd::kEditUndo));
    QVERIFY(catalog.showName() && !catalog.showSize() && !catalog.showDate());
    QVERIFY(frame.routeCommand(cmd::kEditUndo));
    QVERIFY(catalog.showSize() && !catalog.showDate());
    QVERIFY(frame.routeCommand(cmd::kEditUndo));
    QVERIFY(catalog.showName() && catalog.showSize() && catalog.showDate());
    catalog.recompute();

    // The sort keys: a key made primary keeps the direction and the others their order; no undo point and
    // the document stays unmodified.
    document.setModifiedFlag(false);
    recorder.hints.clear();
    const int pointsBeforeSorting = document.undoHistory().count();
    QCOMPARE(displayedNames(catalog), (QStringList{"a.jpg", "b.txt", "c.txt"}));
    QVERIFY(frame.commandState(cmd::kSortByName).checked);
    QVERIFY(frame.routeCommand(cmd::kSortByDate));
    QCOMPARE(displayedNames(catalog), (QStringList{"b.txt", "c.txt", "a.jpg"}));
    QCOMPARE(sortKeyCodes(catalog), (QList<int>{-2, -1, -3, -4, -5, 0, 1}));
    QVERIFY(frame.commandState(cmd::kSortByDate).checked);
    QVERIFY(!frame.commandState(cmd::kSortByName).checked);
    QVERIFY(frame.routeCommand(cmd::kSortBySize));
    QCOMPARE(displayedNames(catalog), (QStringList{"c.txt", "a.jpg", "b.txt"}));
    QVERIFY(frame.routeCommand(cmd::kSortByCategoryFirst + 1));  // 作者
    QCOMPARE(displayedNames(catalog), (QStringList{"b.txt", "a.jpg", "c.txt"}));
    QCOMPARE(sortKeyCodes(catalog), (QList<int>{1, -3, -2, -1, -4, -5, 0}));
    frame.onInitMenu();  // the sort menu as it opens
    QVERIFY(frame.actions().find(cmd::kSortByCategoryFirst + 1)->isChecked());
    QVERIFY(!frame.actions().find(cmd::kSortByCategoryFirst)->isChecked());
    QVERIFY(!frame.actions().find(cmd::kSortBySize)->isChecked());
    QVERIFY(frame.actions().find(cmd::kSortAscending)->isChecked());
    // A category the catalog does not have has no command.
    QVERIFY(!frame.commandState(cmd::kSortByCategoryFirst + 2).enabled);
    QVERIFY(!frame.routeCommand(cmd::kSortByCategoryFirst + 2));

    QVERIFY(frame.routeCommand(cmd::kSortAscending));
    QCOMPARE(displayedNames(catalog), (QStringList{"c.txt", "a.jpg", "b.txt"}));
    QVERIFY(!frame.commandState(cmd::kSortAscending).checked);
    QCOMPARE(catalog.sortKeys().primaryKey(), 1);
    QVERIFY(frame.routeCommand(cmd::kSortByName));  // descending stays
    QCOMPARE(displayedNames(catalog), (QStringList{"c.txt", "b.txt", "a.jpg"}));
    QVERIFY(!frame.commandState(cmd::kSortAscending).checked);
    QVERIFY(frame.routeCommand(cmd::kSortAscending));
    QCOMPARE(displayedNames(catalog), (QStringList{"a.jpg", "b.txt", "c.txt"}));
    QVERIFY(frame.commandState(cmd::kSortAscending).checked);
    QCOMPARE(recorder.hints, (QList<int>{10, 10, 10, 2, 10, 2}));
    QVERIFY(!document.isModified());
    QCOMPARE(document.undoHistory().count(), pointsBeforeSorting);

    // The filter switch: recompute with or without the conditions, hint 10, checked while on.
    catalog.filters().append(CItemFilter(CItemFilter::kTargetName, "txt", 0));
    recorder.hints.clear();
    QVERIFY(!frame.commandState(cmd::kRunFilter).checked);
    QVERIFY(frame.routeCommand(cmd::kRunFilter));
    QVERIFY(catalog.filterOn());
    QCOMPARE(displayedNames(catalog), (QStringList{"b.txt", "c.txt"}));
    QVERIFY(frame.commandState(cmd::kRunFilter).checked);
    QVERIFY(frame.routeCommand(cmd::kRunFilter));
    QCOMPARE(displayedNames(catalog), (QStringList{"a.jpg", "b.txt", "c.txt"}));
    QVERIFY(!frame.commandState(cmd::kRunFilter).checked);

    // The two refresh commands only tell the views.
    QVERIFY(frame.routeCommand(cmd::kRefreshValueLists));
    QVERIFY(frame.routeCommand(cmd::kRefreshList));
    QCOMPARE(recorder.hints, (QList<int>{10, 10, 4, 2}));
    QVERIFY(session.ui().shown().empty());
    // The session stops when it goes, after the hint recorder, which must leave the document first.
}

void DocumentCommandsTest::catalogSettingsNewFilesAndShortcuts() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();
    CQuilloryDoc& document = session.document();
    CFileCatalog& catalog = session.catalog();
    QVERIFY(!CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "蔵書"));
    const QString catalogFolder = QString::fromStdString(catalog.catalogFolder());
    catalog.addCategory("ジャンル");
    const QString files = session.home().path() + "/新しいファイル";
    writeFile(files + "/既存.txt", "1", kDateC);
    auto existing = catalog.newItem(false);
    existing->setValueString(0, "小説");
    existing->setPath((files + "/既存.txt").toStdString(), "", false);
    catalog.addItem(std::move(existing));
    catalog.recompute();
    catalog.setSelection(0, {"小説"});
    catalog.recompute();
    document.setModifiedFlag(false);
    CHintRecorder recorder(document);

    // Catalog settings: Cancel changes nothing; OK takes both options and marks the document modified,
    // without an undo point.
    const int undoPoints = document.undoHistory().count();
    whenShown<CCatalogSetDlg>([](CCatalogSetDlg& dialog) {
        child<QCheckBox>(dialog, "useShortcuts")->click();
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    QVERIFY(frame.routeCommand(cmd::kCatalogSettings));
    QVERIFY(!catalog.useShortcuts());
    QVERIFY(!document.isModified());
    bool startedUnchecked = false;
    whenShown<CCatalogSetDlg>([&startedUnchecked](CCatalogSetDlg& dialog) {
        startedUnchecked = !child<QCheckBox>(dialog, "useShortcuts")->isChecked();
        QTest::mouseClick(child<QCheckBox>(dialog, "useShortcuts"), Qt::LeftButton);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(frame.routeCommand(cmd::kCatalogSettings));
    QVERIFY(startedUnchecked);
    QVERIFY(catalog.useShortcuts());
    QVERIFY(!catalog.relativePaths());
    QVERIFY(document.isModified());
    QCOMPARE(document.undoHistory().count(), undoPoints);
    QVERIFY(recorder.hints.isEmpty());

    // A new file of an extension with a template gets the template's bytes, is registered with the
    // selected value, and gets its shortcut in the catalog folder.
    const QByteArray templateBytes("テンプレート\r\n本文\r\n");
    writeFile(session.home().path() + "/Templates/新しい文書.txt", templateBytes, kDateA);
    writeFile(session.home().path() + "/Templates/画像.png", "PNG", kDateA);
    answerNewFileDialog("メモ.txt", files);
    QVERIFY(frame.routeCommand(cmd::kNewFileItem));
    QCOMPARE(readFile(files + "/メモ.txt"), templateBytes);
    QCOMPARE(catalog.itemCount(), 2);
    const CFileItem& added = catalog.item(1);
    QCOMPARE(QString::fromStdString(std::string(added.path())), files + "/メモ.txt");
    QCOMPARE(std::string(added.valueString(0)), std::string("小説"));
    QCOMPARE(displayedNames(catalog), (QStringList{"メモ.txt", "既存.txt"}));
    QVERIFY(!added.shortcutName().empty());
    QVERIFY(
        QFileInfo::exists(catalogFolder + "/" + QString::fromStdString(std::string(added.shortcutName()))));
    QCOMPARE(recorder.hints, QList<int>{14});
    QCOMPARE(document.undoHistory().count(), undoPoints + 1);
    QCOMPARE(session.setting("System/NewFileFolder").toString(), files);

    // Without a template of that extension the file is empty; a folder path ending in "/" is taken as is.
    answerNewFileDialog("一覧.dat", files + "/");
    QVERIFY(frame.routeCommand(cmd::kNewFileItem));
    QVERIFY(QFileInfo(files + "/一覧.dat").isFile());
    QCOMPARE(QFileInfo(files + "/一覧.dat").size(), 0);
    QCOMPARE(catalog.itemCount(), 3);
    QCOMPARE(QString::fromStdString(std::string(catalog.item(2).path())), files + "/一覧.dat");

    // An existing name fails with the message, registers nothing and leaves the file alone, but the undo
    // point is there.
    writeFile(files + "/メモ.txt", "書きかけ", kDateB);
    recorder.hints.clear();
    answerNewFileDialog("メモ.txt", files);
    QVERIFY(frame.routeCommand(cmd::kNewFileItem));
    QCOMPARE(session.ui().texts(),
             std::vector<std::string>{
                 "ファイルの新規作成に失敗しました。既に同名のファイルがないかご確認ください"});
    QCOMPARE(readFile(files + "/メモ.txt"), QByteArray("書きかけ"));
    QCOMPARE(catalog.itemCount(), 3);
    QVERIFY(recorder.hints.isEmpty());
    QCOMPARE(document.undoHistory().count(), undoPoints + 3);
    // So is a folder that does not exist.
    answerNewFileDialog("a.txt", files + "/無い");
    QVERIFY(frame.routeCommand(cmd::kNewFileItem));
    QCOMPARE(session.ui().texts().size(), std::size_t(2));
    QCOMPARE(session.ui().texts().back(), session.ui().texts().front());
    QCOMPARE(catalog.itemCount(), 3);
    session.ui().clear();

    // Unused shortcuts: No deletes nothing; Yes deletes the shortcuts no item names and tells the count.
    const QString strayOne = catalogFolder + "/古いファイル.lnk";
    const QString strayTwo = catalogFolder + "/写真(1).lnk";
    CTestHome::touch(strayOne);
    CTestHome::touch(strayTwo);
    session.ui().scriptAnswers({false, true});
    QVERIFY(frame.routeCommand(cmd::kDeleteUnusedShortcuts));
    QCOMPARE(session.ui().texts(), std::vector<std::string>{"未使用のショートカットを削除しますか？"});
    QCOMPARE(session.ui().shown().front().kind, CRecordingUserInterface::Shown::Kind::YesNo);
    QVERIFY(QFileInfo::exists(strayOne) && QFileInfo::exists(strayTwo));
    QVERIFY(frame.routeCommand(cmd::kDeleteUnusedShortcuts));
    QCOMPARE(session.ui().texts(), (std::vector<std::string>{"未使用のショートカットを削除しますか？",
                                                             "未使用のショートカットを削除しますか？",
                                                             "2個のショートカットを削除しました"}));
    QVERIFY(!QFileInfo::exists(strayOne) && !QFileInfo::exists(strayTwo));
    QVERIFY(QFileInfo::exists(catalogFolder + "/" +
                              QString::fromStdString(std::string(catalog.item(1).shortcutName()))));
    QVERIFY(QFileInfo::exists(catalogFolder + "/" +
                              QString::fromStdString(std::string(catalog.item(2).shortcutName()))));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);  // the wait cursor is gone again
    // The session stops when it goes, after the hint recorder, which must leave the document first.
}

void DocumentCommandsTest::exportsAndHtmlCopy() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();
    CQuilloryDoc& document = session.document();
    CFileCatalog& catalog = session.catalog();
    const QString files = session.home().path() + "/files";
    fillThreeFiles(catalog, files);
    document.setModifiedFlag(false);
    const QString out = session.home().path() + "/出力";
    QDir().mkpath(out);

    // The dialog as it opens; cancelling it does nothing.
    ExportDialogSeen seen;
    whenShown<CExportFileDialog>([&seen](CExportFileDialog& dialog) {
        noteDialog(&seen, dialog);
        dialog.findChild<QDialogButtonBox*>("buttonBox")->button(QDialogButtonBox::Cancel)->click();
    });
    QVERIFY(frame.routeCommand(cmd::kExportXml));
    QCOMPARE(seen.title, QString("XML出力ファイル"));
    QCOMPARE(seen.fileTypes, QStringList{"xmlﾌｧｲﾙ(*.xml)"});
    QCOMPARE(seen.suffix, QString("xml"));
    QVERIFY(session.setting("Export/xml").toString().isEmpty());
    QVERIFY(QDir(out).isEmpty());

    // The XML file holds every displayed item in display order, readable by xmllint and Python.
    const QString xmlPath = out + "/一覧.xml";
    answerExportDialogs(session, &seen, xmlPath);
    QVERIFY(frame.routeCommand(cmd::kExportXml));
    QVERIFY(xmllintAccepts(xmlPath));
    const QString dateA = kDateA.toString("yyyy-MM-dd HH:mm:ss");
    const QString dateB = kDateB.toString("yyyy-MM-dd HH:mm:ss");
    const QString dateC = kDateC.toString("yyyy-MM-dd HH:mm:ss");
    const QJsonArray items = xmlItems(xmlPath);
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0].toArray(), QJsonArray({files + "/a.jpg", dateA, QJsonArray({"ジャンル", "写真"}),
                                             QJsonArray({"作者", "佐藤"})}));
    QCOMPARE(items[1].toArray(), QJsonArray({files + "/b.txt", dateB, QJsonArray({"ジャンル", "文書"})}));
    QCOMPARE(items[2].toArray(), QJsonArray({files + "/c.txt", dateC, QJsonArray({"ジャンル", "文書,メモ"}),
                                             QJsonArray({"作者", "山田"})}));
    QCOMPARE(session.setting("Export/xml").toString(), xmlPath);
    QVERIFY(!document.isModified());

    // The next XML export starts at that file and replaces it.
    frame.routeCommand(cmd::kSortByDate);
    QVERIFY(frame.routeCommand(cmd::kExportXml));
    QCOMPARE(seen.initialFile, xmlPath);
    QCOMPARE(xmlItems(xmlPath)[0].toArray()[0].toString(), files + "/b.txt");

    // CSV with the filter on: only the filtered items, in the current order.
    catalog.filters().append(CItemFilter(CItemFilter::kTargetName, "txt", 0));
    QVERIFY(frame.routeCommand(cmd::kRunFilter));
    answerExportDialogs(session, &seen, out + "/表.csv");
    QVERIFY(frame.routeCommand(cmd::kExportCsv));
    QCOMPARE(seen.title, QString("CSV出力ファイル"));
    QCOMPARE(seen.fileTypes, (QStringList{"csvﾌｧｲﾙ(*.csv)", "全てのﾌｧｲﾙ(*.*)"}));
    const QString csvPath = out + "/表.csv";
    const QJsonArray rows = csvRows(csvPath);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toArray(), QJsonArray({"ファイル名", "タイトル", "更新日時", "ジャンル", "作者"}));
    QCOMPARE(rows[1].toArray()[0].toString(), files + "/b.txt");
    QCOMPARE(rows[1].toArray()[2].toString(), dateB);
    QCOMPARE(rows[2].toArray(), QJsonArray({files + "/c.txt", "", dateC, "文書,メモ", "山田"}));
    QCOMPARE(session.setting("Export/csv").toString(), csvPath);
    QCOMPARE(session.setting("Export/xml").toString(), xmlPath);

    // A file that cannot be written is reported with its path.
    answerExportDialogs(session, &seen, "/dev/full");
    QVERIFY(frame.routeCommand(cmd::kExportCsv));
    QCOMPARE(seen.initialFile, csvPath);
    QCOMPARE(QString::fromStdString(session.ui().texts().at(0)),
             QString("ファイルのクローズに失敗しました:/dev/full"));
    QCOMPARE(session.ui().texts().size(), std::size_t(1));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // The HTML copy: the table of the displayed items as plain text on the clipboard, no dialog, no message.
    // A title with markup characters reads back as it is.
    QVERIFY(frame.routeCommand(cmd::kRunFilter));
    QVERIFY(frame.routeCommand(cmd::kSortBySize));
    catalog.item(1).setTitle("題 <b> & \"引用\"");
    catalog.recompute();
    session.ui().clear();
    QGuiApplication::clipboard()->clear();
    QVERIFY(frame.routeCommand(cmd::kCopyHtml));
    QVERIFY(session.ui().shown().empty());
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QVERIFY(copied->hasText());
    QVERIFY(!copied->hasHtml());
    const QString html = copied->text();
    QVERIFY(html.startsWith("<table border=\"1\" class=\"quillory\">\r\n<tr>\r\n\t<td>ファイル名</td>"));
    QVERIFY(html.endsWith("</tr>\r\n</table>"));
    const QString htmlPath = out + "/copy.html";
    writeFile(htmlPath, html.toUtf8(), kDateA);
    QVERIFY(xmllintAccepts(htmlPath));
    const QJsonArray table = htmlRows(htmlPath);
    QCOMPARE(table.size(), 4);
    QCOMPARE(table[0].toArray(), QJsonArray({"ファイル名", "タイトル", "ジャンル", "作者"}));
    QCOMPARE(table[1].toArray(), QJsonArray({files + "/c.txt", "", "文書,メモ", "山田"}));
    QCOMPARE(table[2].toArray(), QJsonArray({files + "/a.jpg", "", "写真", "佐藤"}));
    QCOMPARE(table[3].toArray(), QJsonArray({files + "/b.txt", "題 <b> & \"引用\"", "文書", ""}));
    QVERIFY(!document.isModified());
    session.stop();
}

QTEST_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"
