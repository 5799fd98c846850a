// The item grid driven as a user drives it, in the whole program over a catalog of web addresses: heading
// double-clicks that sort, check boxes with Shift ranges, in-place edits stored as one change, the move
// after an edit, and the column widths that come back when the catalog is opened again.

#include <QAccessible>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <set>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CQuilloryApp.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "grid/CUGEdit.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "views/CFileListView.h"
#include "views/CItemGridSource.h"
#include "views/MyCug.h"

namespace {

// Grid columns: 0 check, 1 名前, 2 日付, 3 サイズ, 4 色, 5 形.
constexpr int kNameCol = 1;
constexpr int kColourCol = 4;
constexpr int kShapeCol = 5;

// Five web addresses; two share the title "a".
QString writeCatalog(CTestSession& session) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Web");
    catalog.addCategory("色");
    catalog.addCategory("形");
    const struct {
        const char* title;
        const char* colour;
        const char* shape;
    } rows[] = {{"b", "赤", "丸"}, {"a", "青", "四角"}, {"c", "赤", "三角"}, {"a", "緑", "丸"}, {"d", "", "星"}};
    int n = 0;
    for (const auto& row : rows) {
        auto item = catalog.newItem(false);
        item->setTitle(row.title);
        item->setValueStrings({row.colour, row.shape});
        item->setPath("https://example.com/" + std::to_string(n++), catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    const std::string path = catalog.path();
    return CCatalogFile::write(catalog, path) ? QString() : QString::fromStdString(path);
}

QPoint sectionCentre(const QHeaderView& heading, int section) {
    const int middle = heading.sectionViewportPosition(section) + heading.sectionSize(section) / 2;
    return {middle, heading.height() / 2};
}

void doubleClickHeading(MyCug& grid, int col) {
    QTest::mouseDClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                       sectionCentre(*grid.horizontalHeader(), col));
}

// The check column is locked: its cells are clicked in the locked view laid over it.
void clickCheck(MyCug& grid, int row, Qt::KeyboardModifiers modifiers = {}) {
    auto* locked = grid.findChild<QTableView*>();
    QVERIFY(locked && locked->isVisible());
    QTest::mouseClick(locked->viewport(), Qt::LeftButton, modifiers,
                      locked->visualRect(grid.model()->index(row, 0)).center());
}

// Types text as a keyboard with an input method does: one key event per character, carrying it.
void type(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}

void clickCell(MyCug& grid, int col, int row) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualRect(grid.model()->index(row, col)).center());
}

// Drags the right edge of a column's heading by dx pixels, as a user resizes a column.
void dragColumnEdge(MyCug& grid, int col, int dx) {
    QHeaderView& top = *grid.horizontalHeader();
    const QPoint edge(top.sectionViewportPosition(col) + top.sectionSize(col) - 1, top.height() / 2);
    QTest::mousePress(top.viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(top.viewport(), edge + QPoint(dx, 0));
    QTest::mouseRelease(top.viewport(), Qt::LeftButton, {}, edge + QPoint(dx, 0));
}

// The tables a screen reader meets that head their first column "選択", walking the window's tree.
void findCheckTables(QAccessibleInterface* node, std::set<QObject*>& found) {
    if (QAccessibleTableInterface* table = node->tableInterface()) {
        if (table->columnDescription(0) == QStringLiteral("選択")) {
            found.insert(node->object());
        }
        return;  // its children are its cells
    }
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) {
            findCheckTables(child, found);
        }
    }
}

}  // namespace

class MyCugTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void headingDoubleClicksSort();
    void checkBoxesTakeShiftRanges();
    void inPlaceEditIsOneUndoPointAndMovesOn();
    void widthsComeBackAfterReopening();
    void screenReaderMeetsTheCheckColumnOnce();
};

void MyCugTest::headingDoubleClicksSort() {
    CTestSession session;
    const QString path = writeCatalog(session);
    QVERIFY(session.start({path}));
    MyCug& grid = session.grid();
    QCOMPARE(grid.numberRows(), 5);
    QCOMPARE(grid.quickGetText(0, -1), QString("選択"));
    QCOMPARE(grid.quickGetText(kNameCol, -1), QString("名前"));
    QCOMPARE(grid.quickGetText(kColourCol, -1), QString("色"));
    QCOMPARE(grid.quickGetText(2, 0), QString("URL"));
    QCOMPARE(grid.quickGetText(3, 0), QString("URL"));
    QCOMPARE(grid.quickGetText(-1, 4), QString("5"));

    // The first double click sorts ascending, the second descending; the empty value keeps out of the way.
    doubleClickHeading(grid, kColourCol);
    QStringList colours = CTestSession::columnTexts(grid, kColourCol);
    colours.removeAll(QString());
    QCOMPARE(colours, (QStringList{"青", "赤", "赤", "緑"}));
    doubleClickHeading(grid, kColourCol);
    colours = CTestSession::columnTexts(grid, kColourCol);
    colours.removeAll(QString());
    QCOMPARE(colours, (QStringList{"緑", "赤", "赤", "青"}));

    // Another heading sorts ascending by its column first; the colours, descending, still order the two "a".
    doubleClickHeading(grid, kNameCol);
    QCOMPARE(CTestSession::columnTexts(grid, kNameCol), (QStringList{"a", "a", "b", "c", "d"}));
    QCOMPARE(grid.quickGetText(kColourCol, 0), QString("緑"));
    QCOMPARE(grid.quickGetText(kColourCol, 1), QString("青"));

    // With the fixed columns hidden the category headings still sort by their own category.
    QVERIFY(session.run(cmd::kShowNameColumn));
    QVERIFY(session.run(cmd::kShowDateColumn));
    QVERIFY(session.run(cmd::kShowSizeColumn));
    QCOMPARE(grid.firstCategoryColumn(), 1);
    QCOMPARE(grid.quickGetText(2, -1), QString("形"));
    // Code page 932 order: 丸 (8A DB) before 三角 (8E 4F) before 四角 (8E 6C) before 星 (90 AF).
    doubleClickHeading(grid, 2);
    QCOMPARE(CTestSession::columnTexts(grid, 2), (QStringList{"丸", "丸", "三角", "四角", "星"}));
    // The check column's heading has no sort.
    doubleClickHeading(grid, 0);
    QCOMPARE(CTestSession::columnTexts(grid, 2), (QStringList{"丸", "丸", "三角", "四角", "星"}));
}

void MyCugTest::checkBoxesTakeShiftRanges() {
    CTestSession session;
    QVERIFY(session.start({writeCatalog(session)}));
    MyCug& grid = session.grid();
    CFileListView& view = *session.frame().fileListView();
    const auto backColour = [&grid](int col, int row) {
        return grid.model()->index(row, col).data(Qt::BackgroundRole).value<QColor>();
    };

    clickCheck(grid, 1);
    clickCheck(grid, 3, Qt::ShiftModifier);
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"0", "1", "1", "1", "0"}));
    QVERIFY(grid.itemAt(2)->checked());
    QCOMPARE(backColour(kNameCol, 2), CItemGridSource::kCheckedColour);
    QCOMPARE(backColour(kNameCol, 4), CItemGridSource::kUncheckedColour);

    // Unchecking with Shift held unchecks the clicked row alone.
    clickCheck(grid, 2, Qt::ShiftModifier);
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"0", "1", "0", "1", "0"}));
    QCOMPARE(backColour(kNameCol, 2), CItemGridSource::kUncheckedColour);

    // The targets are the checked rows in row order; the menu offers the multi-item entry.
    QCOMPARE(view.targets(), (std::vector<CFileItem*>{grid.itemAt(1), grid.itemAt(3)}));
    const QPoint cell = grid.visualRect(grid.model()->index(0, kNameCol)).center();
    QContextMenuEvent request(QContextMenuEvent::Mouse, cell, grid.viewport()->mapToGlobal(cell));
    QApplication::sendEvent(grid.viewport(), &request);
    QVERIFY(grid.popupMenu());
    QCOMPARE(grid.popupMenu()->actions().last()->text(), QString("複数アイテムのカテゴリ設定..."));
    grid.popupMenu()->close();

    // Unchecking all leaves the current row alone as the target; checking all checks every row.
    QVERIFY(session.run(cmd::kDeselectAll));
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"0", "0", "0", "0", "0"}));
    clickCell(grid, kNameCol, 4);
    QCOMPARE(view.targets(), std::vector<CFileItem*>{grid.itemAt(4)});
    QCOMPARE(session.frame().statusCountPane()->text(), QString("5/5"));
    QVERIFY(session.run(cmd::kEditSelectAll));
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"1", "1", "1", "1", "1"}));
    QCOMPARE(view.targets().size(), size_t(5));
}

void MyCugTest::inPlaceEditIsOneUndoPointAndMovesOn() {
    CTestSession session;
    QVERIFY(session.start({writeCatalog(session)}));
    MyCug& grid = session.grid();
    CQuilloryDoc& document = session.document();
    QVERIFY(!document.undoHistory().canUndo());
    CFileItem* first = grid.itemAt(0);
    const QString before = grid.quickGetText(kColourCol, 0);

    // A typed character opens the edit with it; Enter stores the value and goes on down the column.
    clickCell(grid, kColourCol, 0);
    type(&grid, "紫");
    QVERIFY(grid.isEditOpen());
    type(grid.editWindow(), "色");
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QCOMPARE(QString::fromStdString(std::string(first->valueString(0))), QString("紫色"));
    QVERIFY(document.isModified());
    QVERIFY(grid.isEditOpen());
    QCOMPARE(grid.currentRow(), 1);
    QCOMPARE(grid.currentCol(), kColourCol);
    // Leaving the next cell unchanged stores nothing more; the rows are rebuilt once the edit has ended.
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);
    QVERIFY(!grid.isEditOpen());
    QTRY_COMPARE(grid.quickGetText(kColourCol, 0), QString("紫色"));
    const std::vector<std::string>& values = session.catalog().category(0).values();
    QCOMPARE(std::count(values.begin(), values.end(), std::string("紫色")), 1);

    // One undo (Ctrl+Z, with the grid in hand) brings the value back, and there is nothing more to undo.
    session.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.frame()));
    QTRY_VERIFY(session.frame().actions().find(cmd::kEditUndo)->isEnabled());
    QTest::keyClick(&grid, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!document.undoHistory().canUndo());
    QCOMPARE(grid.quickGetText(kColourCol, 0), before);

    // Moving right: after the last column the edit goes on in the first category column of the next row.
    QVERIFY(session.run(cmd::kMoveDownAfterEdit));
    QVERIFY(!session.frame().commandState(cmd::kMoveDownAfterEdit).checked);
    clickCell(grid, kColourCol, 2);
    QTest::keyClick(&grid, Qt::Key_F2);
    QVERIFY(grid.isEditOpen());
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QCOMPARE(grid.currentCol(), kShapeCol);
    QCOMPARE(grid.currentRow(), 2);
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QCOMPARE(grid.currentCol(), kColourCol);
    QCOMPARE(grid.currentRow(), 3);
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);

    // At the last cell of the last row the edit ends in place, in either direction.
    clickCell(grid, kShapeCol, 4);
    type(&grid, "月");
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QVERIFY(!grid.isEditOpen());
    QCOMPARE(grid.currentCol(), kShapeCol);
    QCOMPARE(grid.currentRow(), 4);
    QTRY_COMPARE(grid.quickGetText(kShapeCol, 4), QString("月"));
    QVERIFY(session.run(cmd::kMoveDownAfterEdit));
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QVERIFY(!grid.isEditOpen());
    QCOMPARE(grid.currentRow(), 4);
}

void MyCugTest::widthsComeBackAfterReopening() {
    CTestSession session;
    const QString path = writeCatalog(session);
    QVERIFY(session.start({path}));
    {
        MyCug& grid = session.grid();
        // The fixed columns' widths are the user's settings; the category columns' are saved with the
        // catalog, though resizing one is not a change that marks it modified.
        dragColumnEdge(grid, kNameCol, 40);
        dragColumnEdge(grid, kShapeCol, 25);
        QVERIFY(!session.document().isModified());
        QVERIFY(session.run(cmd::kFileSave));
    }
    const int nameWidth = session.grid().colWidth(kNameCol);
    const int shapeWidth = session.grid().colWidth(kShapeCol);
    QCOMPARE(session.catalog().category(1).columnWidth(), shapeWidth);
    session.app().exitInstance();
    session.start({path});
    QCOMPARE(session.setting("System/attrwidth0").toInt(), nameWidth);
    QCOMPARE(session.grid().colWidth(kNameCol), nameWidth);
    QCOMPARE(session.grid().colWidth(kShapeCol), shapeWidth);
    session.app().exitInstance();

    // Another program removes the first category and appends one: 形 keeps its own width, the new
    // category is fitted, and no column reads a width past the categories.
    {
        CFileCatalog catalog;
        QVERIFY(!CCatalogFile::read(catalog, path.toStdString()));
        catalog.removeCategory(0);
        catalog.addCategory("大きさ");
        QVERIFY(!CCatalogFile::write(catalog, path.toStdString()));
    }
    QVERIFY(session.start({path}));
    MyCug& grid = session.grid();
    QCOMPARE(grid.numberCols(), 6);
    QCOMPARE(grid.quickGetText(kColourCol, -1), QString("形"));
    QCOMPARE(grid.colWidth(kColourCol), shapeWidth);
    QCOMPARE(grid.quickGetText(kShapeCol, -1), QString("大きさ"));
    QCOMPARE(session.catalog().category(1).columnWidth(), -1);
    QCOMPARE(grid.colWidth(kNameCol), nameWidth);
}

void MyCugTest::screenReaderMeetsTheCheckColumnOnce() {
    CTestSession session;
    QVERIFY(session.start({writeCatalog(session)}));
    MyCug& grid = session.grid();

    // The window's tree holds one table with the check column: the grid, named for the screen reader.
    std::set<QObject*> tables;
    findCheckTables(QAccessible::queryAccessibleInterface(&session.frame()), tables);
    QCOMPARE(tables, std::set<QObject*>{&grid});
    QCOMPARE(QAccessible::queryAccessibleInterface(&grid)->text(QAccessible::Name), QString("アイテム一覧"));
    // A screen reader also meets every widget that sends it events (focus, selection, changes): of all the
    // window's widgets, only the grid shows itself as a table with the check column, though the locked
    // column is painted by a view of its own laid over the grid.
    tables.clear();
    for (QWidget* widget : session.frame().findChildren<QWidget*>()) {
        QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(widget);
        if (shown && !shown->state().invisible && shown->tableInterface() &&
            shown->tableInterface()->columnDescription(0) == QStringLiteral("選択")) {
            tables.insert(widget);
        }
    }
    QCOMPARE(tables, std::set<QObject*>{&grid});

    // The locked column still takes the mouse and the keyboard; the grid's check cells tell their state.
    clickCheck(grid, 3);
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"0", "0", "0", "1", "0"}));
    clickCell(grid, kNameCol, 1);
    QTest::keyClick(&grid, Qt::Key_Home);
    QCOMPARE(grid.currentCol(), 0);
    QTest::keyClick(&grid, Qt::Key_Space);
    QCOMPARE(CTestSession::columnTexts(grid, 0), (QStringList{"0", "1", "0", "1", "0"}));
    QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(&grid)->tableInterface();
    for (int row = 0; row < grid.numberRows(); ++row) {
        const QAccessible::State state = cells->cellAt(row, 0)->state();
        QVERIFY(state.checkable);
        QCOMPARE(bool(state.checked), row == 1 || row == 3);
    }
}

QTEST_MAIN(MyCugTest)
#include "MyCugTest.moc"
