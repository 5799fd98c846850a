// The grid component driven as a user drives it: clicks, Shift-clicks, keys and typed text on a small
// derived grid that records its notifications, checked in their order and with their arguments.

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

#include "grid/CUGCtrl.h"
#include "grid/CUGDataSource.h"
#include "grid/CUGDropListType.h"
#include "grid/CUGEdit.h"

namespace {

// Three columns over a list of rows: a check box, a text and a colour chosen from a drop-down list.
class CTestGrid final : public CUGCtrl, public CUGDataSource {
public:
    QStringList log;
    QStringList texts;
    int refusedRow = -1;
    QString rejectedText;
    QString refusedChoice;

    explicit CTestGrid(QStringList rowTexts) : texts(std::move(rowTexts)) {
        setDataSource(this);
        createGrid(QRect(0, 0, 420, 240), nullptr, 1234);
        setNumberCols(3);
        setNumberRows(static_cast<int>(texts.size()));
        for (int col = 0; col < 3; ++col) {
            setColWidth(col, 100);
        }
    }

    QString cellText(int col, int row) const override {
        if (row < 0) {
            return QStringList{"選択", "名前", "色"}.value(col);
        }
        if (col < 0) {
            return QString::number(row + 1);
        }
        return col == 0 ? QStringLiteral("0") : col == 1 ? texts.value(row) : QString();
    }
    CUGCellKind cellType(int col, int row) const override {
        return row < 0 ? CUGCellKind::Normal
                       : col == 0 ? CUGCellKind::CheckBox
                                  : col == 2 ? CUGCellKind::DropList : CUGCellKind::Normal;
    }
    QString cellLabel(int col, int /*row*/) const override {
        return col == 2 ? QStringLiteral("赤\n緑\n青\n") : QString();
    }

    QStringList take() {
        QStringList taken = log;
        log.clear();
        return taken;
    }

protected:
    void onSetup() override { log << "setup"; }
    void onColSized(int col, int width) override { log << QString("sized %1 %2").arg(col).arg(width); }
    void onRowChange(int oldRow, int newRow) override { log << QString("row %1 %2").arg(oldRow).arg(newRow); }
    void onLClicked(int col, int row, bool down) override {
        log << QString("click %1 %2 %3").arg(col).arg(row).arg(down ? "down" : "up");
    }
    void onDClicked(int col, int row) override { log << QString("dclick %1 %2").arg(col).arg(row); }
    void onTH_DClicked(int col) override { log << QString("heading dclick %1").arg(col); }
    void onSH_LClicked(int row, bool down) override {
        log << QString("row heading %1 %2").arg(row).arg(down ? "down" : "up");
        CUGCtrl::onSH_LClicked(row, down);
    }
    void onKeyDown(int key, bool processed) override {
        log << QString("key %1 %2").arg(QKeySequence(key).toString()).arg(processed);
        CUGCtrl::onKeyDown(key, processed);
    }
    void onCharDown(QChar character, bool processed) override {
        log << QString("char %1 %2").arg(character).arg(processed);
        CUGCtrl::onCharDown(character, processed);
    }
    bool onCellTypeNotify(CUGCellKind type, int col, int row, CUGCellEvent event, const QVariant& param) override {
        const bool check = type == CUGCellKind::CheckBox && event == CUGCellEvent::CheckBoxSet;
        log << QString("%1 %2 %3 %4").arg(check ? "check" : "choice").arg(col).arg(row).arg(param.toString());
        return param.toString() != refusedChoice;
    }
    bool onEditStart(int col, int row) override {
        log << QString("edit start %1 %2").arg(col).arg(row);
        return row != refusedRow;
    }
    bool onEditFinish(int col, int row, CUGEdit* edit, const QString& text, bool cancelled) override {
        log << QString("edit finish %1 %2 %3 %4").arg(col).arg(row).arg(text).arg(cancelled);
        return edit == editWindow() && (cancelled || text != rejectedText);
    }
    bool onEditContinue(int oldCol, int oldRow, int* newCol, int* newRow) override {
        log << QString("edit continue %1 %2 to %3 %4").arg(oldCol).arg(oldRow).arg(*newCol).arg(*newRow);
        return true;
    }
    bool onMenuStart(int col, int row, Area area) override {
        log << QString("menu start %1 %2 %3").arg(col).arg(row).arg(static_cast<int>(area));
        return area != Area::SideHeading;
    }
    void onMenuCommand(int col, int row, Area area, int id) override {
        log << QString("menu %1 %2 %3 %4").arg(col).arg(row).arg(static_cast<int>(area)).arg(id);
    }
};

QPoint cellCentre(const CUGCtrl& grid, int col, int row) {
    return grid.visualRect(grid.model()->index(row, col)).center();
}

void clickCell(CTestGrid& grid, int col, int row, Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, cellCentre(grid, col, row));
}

QPoint sectionCentre(const QHeaderView& heading, int section) {
    const int middle = heading.sectionViewportPosition(section) + heading.sectionSize(section) / 2;
    return heading.orientation() == Qt::Horizontal ? QPoint(middle, heading.height() / 2)
                                                   : QPoint(heading.width() / 2, middle);
}

}  // namespace

class GridTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clicksKeysAndCheckBoxes();
    void inPlaceEdits();
    void dropListMenuFitAndRows();
};

void GridTest::clicksKeysAndCheckBoxes() {
    CTestGrid grid({"apple", "banana", "cherry", "damson", "elder"});
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    // The grid makes the first cell current when it takes the focus.
    QCOMPARE(grid.take(), (QStringList{"setup", "row -1 0"}));
    QCOMPARE(grid.horizontalHeader()->model()->headerData(1, Qt::Horizontal).toString(), QString("名前"));
    QCOMPARE(grid.verticalHeader()->model()->headerData(4, Qt::Vertical).toString(), QString("5"));

    clickCell(grid, 1, 2);
    QCOMPARE(grid.take(), (QStringList{"row 0 2", "click 1 2 down", "click 1 2 up"}));
    QCOMPARE(grid.currentCol(), 1);
    QCOMPARE(grid.currentRow(), 2);

    // A click on a check box toggles it; Space toggles the current one back, and the key counts as handled.
    clickCell(grid, 0, 1);
    QCOMPARE(grid.take(), (QStringList{"row 2 1", "click 0 1 down", "check 0 1 true", "click 0 1 up"}));
    QCOMPARE(grid.quickGetText(0, 1), QString("1"));
    QCOMPARE(grid.model()->index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QTest::keyClick(&grid, Qt::Key_Space);
    QCOMPARE(grid.take(), (QStringList{"check 0 1 false", "key Space 1", "char   1"}));
    QCOMPARE(grid.quickGetText(0, 1), QString("0"));
    QVERIFY(!grid.isEditOpen());

    // Arrows and Tab move the current cell and count as handled; no edit opens.
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Tab);
    QCOMPARE(grid.take().filter(QRegularExpression("^(row|key)")), (QStringList{"row 1 2", "key Down 1", "key Tab 1"}));
    QCOMPARE(grid.currentCol(), 1);
    QVERIFY(!grid.isEditOpen());

    // A row heading press selects the row; with Shift the block extends to the other row's last column.
    auto* side = grid.verticalHeader();
    QTest::mousePress(side->viewport(), Qt::LeftButton, {}, sectionCentre(*side, 3));
    QTest::mouseRelease(side->viewport(), Qt::LeftButton, {}, sectionCentre(*side, 3));
    QCOMPARE(grid.take(), (QStringList{"row heading 3 down", "row 2 3", "row heading 3 up"}));
    QVERIFY(grid.isSelected(0, 3) && grid.isSelected(2, 3) && !grid.isSelected(1, 2));
    QTest::mouseClick(side->viewport(), Qt::LeftButton, Qt::ShiftModifier, sectionCentre(*side, 4));
    QCOMPARE(grid.take(), (QStringList{"row heading 4 down", "row 3 4", "row heading 4 up"}));
    QVERIFY(grid.isSelected(0, 3) && grid.isSelected(2, 4) && grid.isSelected(1, 4));
    clickCell(grid, 1, 0);
    clickCell(grid, 1, 2, Qt::ShiftModifier);
    QVERIFY(grid.isSelected(1, 1) && !grid.isSelected(0, 1) && !grid.isSelected(2, 4));
    grid.clearSelections();
    QVERIFY(!grid.isSelected(1, 1));
    grid.take();

    // Double clicks on a cell and on a heading.
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cellCentre(grid, 1, 3));
    QVERIFY(grid.take().contains("dclick 1 3"));
    QTest::mouseDClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                       sectionCentre(*grid.horizontalHeader(), 2));
    QCOMPARE(grid.take(), QStringList{"heading dclick 2"});

    // Resizing a column by its edge is reported; widths the program sets are not.
    auto* top = grid.horizontalHeader();
    const QPoint edge(top->sectionViewportPosition(1) + top->sectionSize(1) - 1, top->height() / 2);
    QTest::mousePress(top->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(top->viewport(), edge + QPoint(30, 0));
    QTest::mouseRelease(top->viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
    QCOMPARE(grid.take().filter("sized").value(0), QString("sized 1 %1").arg(grid.colWidth(1)));
    QVERIFY(grid.colWidth(1) > 110);
    grid.setColWidth(1, 80);
    QVERIFY(grid.take().filter("sized").isEmpty());
}

void GridTest::inPlaceEdits() {
    CTestGrid grid({"apple", "banana", "cherry", "damson", "elder"});
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    grid.gotoCell(1, 0);
    grid.setFocus();
    grid.take();

    // Typing opens the edit with the typed character; Enter stores the text and goes on one row down.
    QTest::keyClicks(&grid, "k");
    QVERIFY(grid.isEditOpen());
    QTest::keyClicks(grid.editWindow(), "iwi");
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QCOMPARE(grid.take(), (QStringList{"key K 0", "char k 0", "edit start 1 0", "edit finish 1 0 kiwi 0",
                                       "edit continue 1 0 to 1 1", "row 0 1", "edit start 1 1"}));
    QCOMPARE(grid.quickGetText(1, 0), QString("kiwi"));
    QVERIFY(grid.isEditOpen());
    QCOMPARE(grid.editWindow()->text(), QString("banana"));

    // Escape cancels: the cell keeps its text and the edit does not go on.
    QTest::keyClicks(grid.editWindow(), "X");
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);
    QCOMPARE(grid.take(), QStringList{"edit finish 1 1 X 1"});
    QVERIFY(!grid.isEditOpen());
    QCOMPARE(grid.quickGetText(1, 1), QString("banana"));

    // A rejected text keeps the edit open; a corrected one is taken.
    grid.rejectedText = "bad";
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClicks(grid.editWindow(), "bad");
    QTest::keyClick(grid.editWindow(), Qt::Key_Tab);
    QVERIFY(grid.isEditOpen());
    grid.editWindow()->setText("good");
    QTest::keyClick(grid.editWindow(), Qt::Key_Tab);
    QCOMPARE(grid.take(), (QStringList{"key F2 0", "edit start 1 1", "edit finish 1 1 bad 0",
                                       "edit finish 1 1 good 0", "edit continue 1 1 to 2 1", "edit start 2 1"}));
    QCOMPARE(grid.quickGetText(1, 1), QString("good"));
    QCOMPARE(grid.currentCol(), 2);
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);

    // Text composed with an input method starts the edit too: the composition goes on in the edit box, and
    // what the input method commits is the cell's text.
    grid.gotoCell(1, 3);
    grid.setFocus();
    QInputMethodEvent composing(QStringLiteral("にほん"), {});
    QApplication::sendEvent(&grid, &composing);
    QVERIFY(grid.isEditOpen());
    QCOMPARE(grid.editWindow()->text(), QString());
    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("日本"));
    QApplication::sendEvent(grid.editWindow(), &committed);
    QTest::keyClick(grid.editWindow(), Qt::Key_Return);
    QCOMPARE(grid.quickGetText(1, 3), QString("日本"));
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);
    grid.gotoCell(1, 0);
    QInputMethodEvent direct;
    direct.setCommitString(QStringLiteral("東京"));
    QApplication::sendEvent(&grid, &direct);
    QCOMPARE(grid.editWindow()->text(), QString("東京"));
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);
    QCOMPARE(grid.quickGetText(1, 0), QString("kiwi"));

    // A text longer than its cell widens the edit box over the cells to its right, as far as the grid shows.
    grid.gotoCell(1, 2);
    QVERIFY(grid.startEdit(QChar('x')));
    const QRect cell = grid.visualRect(grid.model()->index(2, 1));
    QCOMPARE(grid.editWindow()->geometry(), cell);
    const QString longer = QStringLiteral("-a-much-longer-fruit-name");
    QTest::keyClicks(grid.editWindow(), longer);
    QVERIFY(grid.editWindow()->width() > cell.width());
    QVERIFY(grid.editWindow()->width() >= grid.editWindow()->fontMetrics().horizontalAdvance("x" + longer));
    QCOMPARE(grid.editWindow()->geometry().topLeft(), cell.topLeft());
    QTest::keyClicks(grid.editWindow(), longer + longer + longer);
    QCOMPARE(grid.editWindow()->geometry().right(), grid.viewport()->width() - 1);
    QTest::keyClick(grid.editWindow(), Qt::Key_Escape);

    // A refused start opens nothing; a check box never opens an edit.
    grid.refusedRow = 4;
    grid.gotoCell(1, 4);
    grid.take();
    QTest::keyClick(&grid, Qt::Key_Return);
    QVERIFY(!grid.isEditOpen());
    QCOMPARE(grid.take(), (QStringList{"key Return 0", "edit start 1 4", "char \r 0"}));
    grid.gotoCell(0, 2);
    QVERIFY(!grid.startEdit());

    // Enter on the last row stores the text and ends the edit there; a click elsewhere stores an open edit.
    grid.refusedRow = -1;
    grid.gotoCell(1, 4);
    QVERIFY(grid.startEdit(QChar('f')));
    QTest::keyClick(grid.editWindow(), Qt::Key_Enter);
    QVERIFY(!grid.isEditOpen());
    QCOMPARE(grid.currentRow(), 4);
    QCOMPARE(grid.quickGetText(1, 4), QString("f"));
    grid.gotoCell(1, 3);
    QVERIFY(grid.startEdit(QChar('g')));
    grid.take();
    clickCell(grid, 1, 0);
    QCOMPARE(grid.take().mid(0, 2), (QStringList{"edit finish 1 3 g 0", "row 3 0"}));
    QCOMPARE(grid.quickGetText(1, 3), QString("g"));
    QVERIFY(!grid.isEditOpen());
}

void GridTest::dropListMenuFitAndRows() {
    CTestGrid grid({"a", "bb", "cc", "dd", "a much longer text than any other"});
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));

    // The drop-down button opens the cell's choices; a click on one stores it unless refused.
    const QRect cell = grid.cellRect(2, 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(cell.right() - 3, cell.center().y()));
    QListWidget* list = grid.dropListType().list();
    QVERIFY(list);
    QCOMPARE(list->count(), 3);
    QCOMPARE(list->item(2)->text(), QString("青"));
    grid.take();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCOMPARE(grid.take(), QStringList{"choice 2 1 緑"});
    QCOMPARE(grid.quickGetText(2, 1), QString("緑"));
    QVERIFY(!grid.dropListType().list());
    grid.refusedChoice = "青";
    QTest::keyClick(&grid, Qt::Key_F4);
    list = grid.dropListType().list();
    QVERIFY(list);
    QCOMPARE(list->currentItem()->text(), QString("緑"));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(grid.quickGetText(2, 1), QString("緑"));
    QTest::keyClick(&grid, Qt::Key_F4);
    QTest::keyClick(grid.dropListType().list(), Qt::Key_Escape);
    QVERIFY(!grid.dropListType().list());
    QCOMPARE(grid.take().filter("choice"), QStringList{"choice 2 1 青"});

    // The popup menu: its entries and separators, the command with the cell it was opened on, and no menu
    // where the grid suppresses it.
    grid.addMenuItem(100, "開く");
    grid.addMenuItem(-1, "");
    grid.addMenuItem(101, "閉じる");
    QContextMenuEvent onCell(QContextMenuEvent::Mouse, cellCentre(grid, 1, 3), grid.viewport()->mapToGlobal(cellCentre(grid, 1, 3)));
    QApplication::sendEvent(grid.viewport(), &onCell);
    QMenu* menu = grid.popupMenu();
    QVERIFY(menu);
    QStringList entries;
    for (QAction* action : menu->actions()) {
        entries << (action->isSeparator() ? QString("-") : action->text());
    }
    QCOMPARE(entries, (QStringList{"開く", "-", "閉じる"}));
    menu->actions().at(2)->trigger();
    menu->close();
    QCOMPARE(grid.take(), (QStringList{"menu start 1 3 0", "menu 1 3 0 101"}));
    QContextMenuEvent onRowHeading(QContextMenuEvent::Mouse, sectionCentre(*grid.verticalHeader(), 2), QPoint());
    QApplication::sendEvent(grid.verticalHeader()->viewport(), &onRowHeading);
    QCOMPARE(grid.take(), QStringList{"menu start -1 2 2"});
    QVERIFY(!grid.popupMenu());

    // Fitting looks at the rows it is told to: the long last row widens the column only when it is looked at.
    const int longest = grid.fontMetrics().horizontalAdvance("a much longer text than any other");
    grid.fitColumns(0, 1, 4);
    QVERIFY(grid.colWidth(1) < longest);
    QVERIFY(grid.colWidth(0) >= grid.horizontalHeader()->fontMetrics().horizontalAdvance("選択"));
    grid.fitColumns(1, 1, grid.numberRows());
    QVERIFY(grid.colWidth(1) >= longest && grid.colWidth(1) < longest + 30);
    QVERIFY(grid.take().filter("sized").isEmpty());

    // The locked check column stays in place when the grid scrolls sideways, and still toggles.
    grid.setColWidth(2, 900);
    grid.lockColumns(1);
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    auto* locked = grid.findChild<QTableView*>();
    QVERIFY(locked && locked->isVisible());
    QTest::mouseClick(locked->viewport(), Qt::LeftButton, {}, locked->visualRect(grid.model()->index(3, 0)).center());
    QCOMPARE(grid.quickGetText(0, 3), QString("1"));
    QCOMPARE(grid.take().filter("check"), QStringList{"check 0 3 true"});

    // Sorting goes through the compare notification; the data keeps its row numbers.
    grid.sortBy(1, CUGCtrl::kSortDescending);
    QCOMPARE(grid.quickGetText(1, 0), QString("dd"));
    QCOMPARE(grid.dataRow(0), 3);
    QCOMPARE(grid.quickGetText(0, 0), QString("1"));

    // New rows start afresh: the order and the cells set by the grid go, the widths and current cell stay.
    const int width = grid.colWidth(1);
    grid.gotoCell(1, 4);
    grid.take();
    grid.setNumberRows(3);
    QCOMPARE(grid.quickGetText(1, 0), QString("a"));
    QCOMPARE(grid.quickGetText(2, 1), QString());
    QCOMPARE(grid.colWidth(1), width);
    QCOMPARE(grid.currentRow(), 2);
    QCOMPARE(grid.take(), QStringList{"row 4 2"});
    grid.setNumberRows(0);
    QCOMPARE(grid.currentRow(), -1);
    QCOMPARE(grid.take(), QStringList{"row 2 -1"});
}

QTEST_MAIN(GridTest)
#include "GridTest.moc"
