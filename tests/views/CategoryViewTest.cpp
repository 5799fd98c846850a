// The category pane as a user meets it: drilling down through the lists, selections that come back with
// the catalog, hidden categories, the width drag and equal widths, and the category commands with their
// undo points.

#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CCategoryValueDlg.h"
#include "dialogs/DialogDriver.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "views/CCategoryView.h"
#include "views/CListCtrlBox.h"

namespace {

// Genre, a hidden Memo, Artist, Year; five items.
QString writeMusicCatalog(const QString& folder) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(folder.toStdString(), "Music");
    for (const char* name : {"Genre", "Memo", "Artist", "Year"}) {
        catalog.addCategory(name);
    }
    catalog.category(1).setFlags(catalog.category(1).flags() | CCategory::kHiddenInPane);
    const std::vector<std::vector<std::string>> rows{{"Rock", "", "A", "1990"},
                                                     {"Rock", "", "B", "2000"},
                                                     {"Pop", "", "B", "2000"},
                                                     {"Pop", "", "C", "2010"},
                                                     {"Jazz,Rock", "x", "A", "2010"}};
    for (const auto& values : rows) {
        auto item = catalog.newItem(false);
        item->setTitle("item");
        item->setValueStrings(values);
        catalog.addItem(std::move(item));
    }
    if (CCatalogFile::write(catalog, catalog.path())) {
        return {};
    }
    return QString::fromStdString(catalog.path());
}

// Ten categories as a big catalog has them: short headings, values such as "東京874" or "value12"; the last
// category holds one value far longer than a list should be.
QString writeTenCategoryCatalog(const QString& folder) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(folder.toStdString(), "Big");
    const std::vector<std::string> names = {"ジャンル", "作者", "年", "評価", "場所", "形式", "タグ", "人物", "案件", "状態"};
    const std::vector<std::string> stems = {"値", "value", "東京", "item", "資料", "photo", "夏", "tag", "山田", "済"};
    for (const std::string& name : names) {
        catalog.addCategory(name);
    }
    for (int i = 0; i < 60; ++i) {
        std::vector<std::string> values;
        for (const std::string& stem : stems) {
            values.push_back(stem + std::to_string(i * 37 % 1000));
        }
        if (i == 0) {
            values.back() = "三十文字ほどもある長い値は一覧の幅を決めずに省略されて表示される";
        }
        auto item = catalog.newItem(false);
        item->setTitle("item");
        item->setValueStrings(values);
        catalog.addItem(std::move(item));
    }
    return CCatalogFile::write(catalog, catalog.path()) ? QString() : QString::fromStdString(catalog.path());
}

// The room a list's rows give their text: its one column spans the list's viewport, and the style draws the
// text inside a margin on each side.
int textRoom(CListCtrlBox* list) {
    return list->viewport()->width() - 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
}

QStringList rowsOf(CListCtrlBox* list) {
    QStringList rows;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        rows.append(list->model()->index(row, 0).data().toString());
    }
    return rows;
}

QStringList selectedOf(CListCtrlBox* list) {
    QStringList texts;
    for (const int row : list->selectedRows()) {
        texts.append(list->model()->index(row, 0).data().toString());
    }
    return texts;
}

void clickRow(CListCtrlBox* list, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    list->scrollTo(found.constFirst());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(found.constFirst()).center());
}

}  // namespace

class CategoryViewTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void drillsDownAndKeepsSelections();
    void widthsFollowTheShownCategories();
    void narrowPaneScrollsToWholeValues();
    void categoryCommandsRecordUndoPoints();
};

void CategoryViewTest::drillsDownAndKeepsSelections() {
    CTestSession session;
    const QString path = writeMusicCatalog(session.catalogsFolder());
    QVERIFY(!path.isEmpty());
    QVERIFY(session.start({path}));
    session.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.frame()));
    CCategoryView& pane = *session.frame().categoryView();
    CFileCatalog& catalog = session.catalog();

    // The hidden Memo has no list; each list is named after its category, for screen readers too.
    QCOMPARE(pane.listCount(), 3);
    QCOMPARE(pane.list(0)->accessibleName(), QStringLiteral("Genre"));
    QCOMPARE(pane.list(1)->accessibleName(), QStringLiteral("Artist"));
    QCOMPARE(pane.list(1)->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Artist"));
    QCOMPARE(rowsOf(pane.list(0)), (QStringList{"全て(3)", "Jazz", "Pop", "Rock"}));
    QCOMPARE(selectedOf(pane.list(0)), QStringList{"全て(3)"});
    QCOMPARE(catalog.displayedCount(), 5);

    // Left to right: each list offers only the values of the items that pass the lists to its left.
    clickRow(pane.list(0), "Rock");
    QCOMPARE(catalog.displayedCount(), 3);
    QCOMPARE(rowsOf(pane.list(1)), (QStringList{"全て(2)", "A", "B"}));
    clickRow(pane.list(1), "B");
    QCOMPARE(catalog.displayedCount(), 1);
    QCOMPARE(rowsOf(pane.list(2)), (QStringList{"全て(1)", "2000"}));
    clickRow(pane.list(2), "2000");
    QVERIFY(pane.list(2)->hasFocus());

    // Another genre: the lists to the right keep their value while it is still offered...
    clickRow(pane.list(0), "Pop");
    QCOMPARE(rowsOf(pane.list(1)), (QStringList{"全て(2)", "B", "C"}));
    QCOMPARE(selectedOf(pane.list(1)), QStringList{"B"});
    QCOMPARE(selectedOf(pane.list(2)), QStringList{"2000"});
    QCOMPARE(catalog.displayedCount(), 1);
    QVERIFY(pane.list(0)->hasFocus());
    // ...and fall back to "全て" when it is not.
    clickRow(pane.list(0), "Jazz");
    QCOMPARE(selectedOf(pane.list(1)), QStringList{"全て(1)"});
    QCOMPARE(selectedOf(pane.list(2)), QStringList{"全て(1)"});

    // Ctrl adds a value: either genre lets an item through; "全て" with values restricts by the values.
    clickRow(pane.list(0), "Rock", Qt::ControlModifier);
    QCOMPARE(selectedOf(pane.list(0)), (QStringList{"Jazz", "Rock"}));
    QCOMPARE(catalog.displayedCount(), 3);
    clickRow(pane.list(0), "全て(3)", Qt::ControlModifier);
    QCOMPARE(catalog.displayedCount(), 3);
    // Deselecting every row leaves the items as they were.
    for (const char* text : {"全て(3)", "Jazz", "Rock"}) {
        clickRow(pane.list(0), text, Qt::ControlModifier);
    }
    QVERIFY(pane.list(0)->selectedRows().empty());
    QCOMPARE(catalog.displayedCount(), 3);
    clickRow(pane.list(0), "Rock");
    clickRow(pane.list(1), "A");
    QCOMPARE(catalog.displayedCount(), 2);
    // Selecting by keyboard works the same way: the arrow moves to the next artist.
    QTest::keyClick(pane.list(1), Qt::Key_Down);
    QCOMPARE(selectedOf(pane.list(1)), QStringList{"B"});
    QCOMPARE(catalog.displayedCount(), 1);

    // The selections are saved with the catalog and come back with it when the program starts again.
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(session.start({path}));
    CCategoryView& reopened = *session.frame().categoryView();
    QCOMPARE(selectedOf(reopened.list(0)), QStringList{"Rock"});
    QCOMPARE(selectedOf(reopened.list(1)), QStringList{"B"});
    QCOMPARE(selectedOf(reopened.list(2)), QStringList{"全て(1)"});
    QCOMPARE(session.catalog().displayedCount(), 1);
}

void CategoryViewTest::widthsFollowTheShownCategories() {
    CTestSession session;
    const QString path = writeMusicCatalog(session.catalogsFolder());
    QVERIFY(session.start({path}));
    session.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.frame()));
    CCategoryView* pane = session.frame().categoryView();
    pane->resize(302, 200);

    // Three automatic widths: 302 / 3 - 3 + 1 = 98, 2-pixel gaps, the last list reaching the right edge.
    QCOMPARE(pane->list(0)->geometry(), QRect(0, 0, 98, 200));
    QCOMPARE(pane->list(1)->geometry(), QRect(100, 0, 98, 200));
    QCOMPARE(pane->list(2)->geometry(), QRect(200, 0, 102, 200));
    QVERIFY(!pane->scrollBar()->isVisible());

    // Dragging the gap between Genre and Artist to x = 150: Genre ends at 149, Artist starts at 151. The
    // widths go to the categories shown, past the hidden Memo.
    QTest::mouseMove(pane, QPoint(99, 50));
    QCOMPARE(pane->cursor().shape(), Qt::SizeHorCursor);
    QTest::mousePress(pane, Qt::LeftButton, Qt::NoModifier, QPoint(99, 50));
    QTest::mouseRelease(pane, Qt::LeftButton, Qt::NoModifier, QPoint(150, 50));
    QCOMPARE(pane->list(0)->geometry(), QRect(0, 0, 149, 200));
    QCOMPARE(pane->list(1)->geometry(), QRect(151, 0, 47, 200));
    QCOMPARE(session.catalog().category(0).listWidth(), 149);
    QCOMPARE(session.catalog().category(1).listWidth(), -1);
    QCOMPARE(session.catalog().category(2).listWidth(), 47);
    // The widths are the view's state: the drag does not mark the catalog modified, but they are saved
    // with it and come back.
    QVERIFY(!session.document().isModified());
    QVERIFY(session.run(cmd::kFileSave));
    QVERIFY(session.start({path}));
    pane = session.frame().categoryView();
    pane->resize(302, 200);
    QCOMPARE(pane->list(0)->geometry(), QRect(0, 0, 149, 200));
    QCOMPARE(pane->list(1)->geometry(), QRect(151, 0, 47, 200));
    // The last list still fills the rest when the pane grows.
    pane->resize(402, 200);
    QCOMPARE(pane->list(2)->geometry(), QRect(200, 0, 202, 200));

    // Equal widths again.
    QVERIFY(session.run(cmd::kEqualValueListWidths));
    QCOMPARE(pane->list(0)->width(), pane->list(1)->width());
    CFileCatalog& catalog = session.catalog();
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        QCOMPARE(catalog.category(i).listWidth(), -1);
    }
    QVERIFY(!session.document().isModified());

    // Another program reorders and removes categories: the lists, their widths and selections follow the
    // categories that are there, and a hint that comes before the rebuild does not index past them.
    catalog.category(3).setListWidth(130);  // Year
    catalog.setSelection(2, {"B"});          // Artist
    catalog.exchangeCategories(0, 3);        // Year, Memo, Artist, Genre
    catalog.removeCategory(3);
    catalog.recomputeWithoutRefresh();
    session.document().updateAllViews(nullptr, 4);
    QCOMPARE(pane->listCount(), 2);
    QCOMPARE(pane->list(0)->accessibleName(), QStringLiteral("Year"));
    QCOMPARE(pane->list(1)->accessibleName(), QStringLiteral("Artist"));
    QCOMPARE(pane->list(0)->width(), 130);
    QCOMPARE(selectedOf(pane->list(1)), QStringList{"B"});
    pane->resize(500, 200);
    QCOMPARE(catalog.category(0).listWidth(), 130);
    QCOMPARE(catalog.category(2).listWidth(), -1);  // the last list's width is never requested
}

void CategoryViewTest::narrowPaneScrollsToWholeValues() {
    CTestSession session;
    QVERIFY(session.start({writeTenCategoryCatalog(session.catalogsFolder())}));
    session.frame().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&session.frame()));
    CCategoryView& pane = *session.frame().categoryView();
    pane.resize(260, 400);
    QCOMPARE(pane.listCount(), 10);

    // Ten equal shares of 260 pixels would be 17 pixels each. Every list shows its heading and each of
    // its values whole instead; the long value alone is cut short, and its tool tip shows it.
    for (int i = 0; i < pane.listCount(); ++i) {
        CListCtrlBox* list = pane.list(i);
        const QFontMetrics metrics(list->font());
        const QString heading = list->model()->headerData(0, Qt::Horizontal).toString();
        const int headingMargin = 2 * list->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, list->header());
        QVERIFY2(QFontMetrics(list->header()->font()).horizontalAdvance(heading) + headingMargin <=
                     list->viewport()->width(),
                 qPrintable(heading));
        QVERIFY(list->width() < pane.width());
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            const QModelIndex index = list->model()->index(row, 0);
            const QString text = index.data().toString();
            if (text.startsWith(QStringLiteral("三十文字"))) {
                QVERIFY(metrics.horizontalAdvance(text) > textRoom(list));
                QCOMPARE(index.data(Qt::ToolTipRole).toString(), text);
            } else {
                QVERIFY2(metrics.horizontalAdvance(text) <= textRoom(list), qPrintable(heading + " " + text));
            }
        }
    }

    // The lists go on past the pane's right edge, and the pane scrolls sideways: by its scroll bar, and by
    // Tab, which brings the list it moves to into view. A screen reader meets the ten lists, then the bar.
    QVERIFY(pane.scrollBar()->isVisible());
    QAccessibleInterface* paneAccessible = QAccessible::queryAccessibleInterface(&pane);
    QCOMPARE(paneAccessible->childCount(), 11);
    QCOMPARE(paneAccessible->child(0)->text(QAccessible::Name), pane.list(0)->accessibleName());
    QCOMPARE(paneAccessible->child(10)->role(), QAccessible::ScrollBar);
    QVERIFY(pane.list(9)->geometry().left() >= pane.width());
    QCOMPARE(pane.list(0)->height(), pane.height() - pane.scrollBar()->height());
    pane.list(0)->setFocus(Qt::MouseFocusReason);
    for (int i = 1; i < pane.listCount(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(pane.list(i)->hasFocus());
        QVERIFY(pane.list(i)->geometry().left() >= 0);
        QVERIFY(pane.list(i)->geometry().right() < pane.width());
    }
    QCOMPARE(pane.list(9)->geometry().right(), pane.width() - 1);
    QVERIFY(pane.list(0)->geometry().right() < 0);
    pane.scrollBar()->setValue(0);
    QCOMPARE(pane.list(0)->geometry().left(), 0);

    // Choosing a value still drills down, and the lists right of it keep showing their values whole.
    clickRow(pane.list(0), QStringLiteral("値37"));
    QCOMPARE(session.catalog().displayedCount(), 1);
    QCOMPARE(rowsOf(pane.list(2)), (QStringList{"全て(1)", "東京37"}));

    // A pane wide enough for every list shares its width equally, without a scroll bar.
    pane.resize(1600, 400);
    QVERIFY(!pane.scrollBar()->isVisible());
    QCOMPARE(pane.list(0)->width(), 1600 / 10 - 10 + 1);
    QCOMPARE(pane.list(9)->geometry().right(), 1599);
}

void CategoryViewTest::categoryCommandsRecordUndoPoints() {
    CTestSession session;
    const QString path = writeMusicCatalog(session.catalogsFolder());
    QVERIFY(session.start({path}));
    CMainFrame& frame = session.frame();
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    CCategoryView& pane = *frame.categoryView();
    CFileCatalog& catalog = session.catalog();
    const int undoBefore = session.document().undoHistory().position();

    // The pane, as the window gives it the focus, passes it on to its first list: the category commands
    // then act on that list rather than asking for a category.
    pane.setFocus();
    QVERIFY(pane.list(0)->hasFocus());
    QCOMPARE(pane.focusedList(), 0);

    // Down one: Artist moves before Genre (past the hidden Memo), the focus follows it.
    pane.list(0)->setFocus();
    QVERIFY(frame.commandState(cmd::kMoveCategoryDown).enabled);
    QVERIFY(!frame.commandState(cmd::kMoveCategoryUp).enabled);
    QVERIFY(session.run(cmd::kMoveCategoryDown));
    QCOMPARE(catalog.categoryNames(), (std::vector<std::string>{"Artist", "Memo", "Genre", "Year"}));
    QCOMPARE(pane.list(1)->accessibleName(), QStringLiteral("Genre"));
    QVERIFY(pane.list(1)->hasFocus());
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 1);

    // Renamed and centred through the category dialog.
    whenShown<CCategoryEditDlg>([](CCategoryEditDlg& dialog) {
        QLineEdit* name = child<QLineEdit>(dialog, "name");
        QCOMPARE(name->text(), QStringLiteral("Genre"));
        name->selectAll();
        typeText(name, QStringLiteral("ジャンル"));
        child<QComboBox>(dialog, "alignment")->setCurrentIndex(1);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kEditCategory));
    QCOMPARE(catalog.categoryName(2), std::string("ジャンル"));
    QCOMPARE(catalog.category(2).alignment(), 1);
    QCOMPARE(pane.list(1)->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ジャンル"));
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 2);
    QVERIFY(session.document().isModified());

    // Deleted after the question; No keeps it.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    pane.list(1)->setFocus();
    session.ui().scriptAnswers({false, true});
    QVERIFY(session.run(cmd::kDeleteCategory));
    QCOMPARE(catalog.categoryCount(), 4);
    QVERIFY(session.run(cmd::kDeleteCategory));
    QCOMPARE(session.ui().texts().back(), std::string("ジャンルを削除しますか？"));
    QCOMPARE(catalog.categoryNames(), (std::vector<std::string>{"Artist", "Memo", "Year"}));
    QCOMPARE(pane.listCount(), 2);
    QCOMPARE(session.document().undoHistory().position(), undoBefore + 3);

    // Undo brings the category back, with its list.
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(pane.listCount(), 3);
    QCOMPARE(pane.list(1)->accessibleName(), QStringLiteral("ジャンル"));

    // A value renamed from its list: every item carries the new text, and the list shows it selected with
    // the items that carry it.
    clickRow(pane.list(0), "B");
    QCOMPARE(catalog.displayedCount(), 2);
    const int undoBeforeRename = session.document().undoHistory().position();
    whenShown<CCategoryValueDlg>([](CCategoryValueDlg& dialog) {
        QCOMPARE(child<QComboBox>(dialog, "category")->currentText(), QStringLiteral("Artist"));
        QCOMPARE(child<QComboBox>(dialog, "oldValue")->currentText(), QStringLiteral("B"));
        typeText(child<QLineEdit>(dialog, "newValue"), QStringLiteral("ビー"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QVERIFY(session.run(cmd::kRenameValue));
    QCOMPARE(rowsOf(pane.list(0)), (QStringList{"全て(3)", "A", "C", "ビー"}));
    QCOMPARE(selectedOf(pane.list(0)), QStringList{"ビー"});
    QCOMPARE(catalog.displayedCount(), 2);
    QCOMPARE(session.document().undoHistory().position(), undoBeforeRename + 1);
}

QTEST_MAIN(CategoryViewTest)
#include "CategoryViewTest.moc"
