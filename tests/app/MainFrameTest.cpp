// The main window: placement and pane sizes across restarts, the preview row, the sort menu, the layout
// commands, the tool bar, the accelerators and the command routing.

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSplitter>
#include <QTest>
#include <QToolBar>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "app/CSplitterWndEx.h"
#include "gui/CCommandActions.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "preview/CTextView.h"
#include "views/CCategoryView.h"
#include "views/CFileListView.h"

namespace {

QStringList sortMenuTexts(CMainFrame& frame) {
    QMenu* view = frame.menuBar()->actions().at(3)->menu();
    QMenu* sort = view->actions().at(7)->menu();
    QStringList texts;
    for (QAction* action : sort->actions()) {
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QList<int> sortMenuIds(CMainFrame& frame) {
    QMenu* sort = frame.menuBar()->actions().at(3)->menu()->actions().at(7)->menu();
    QList<int> ids;
    for (QAction* action : sort->actions()) {
        ids.append(action->isSeparator() ? 0 : action->data().toInt());
    }
    return ids;
}

}  // namespace

class MainFrameTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void placementAndPaneSizesSurviveARestart();
    void maximisedWindowStartsMaximised();
    void previewRowHidesAndShowsWithoutLosingItsView();
    void previewSizeCommands();
    void sortMenuFollowsTheCategories();
    void layoutChangesAtTheNextStart();
    void toolBarAcceleratorsAndRouting();
};

void MainFrameTest::placementAndPaneSizesSurviveARestart() {
    CTestSession session;
    {
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        // The first start: 100,100 to 800,600, the category pane 260 wide, the item list 200 high.
        QCOMPARE(frame.geometry(), QRect(100, 100, 700, 500));
        QCOMPARE(frame.outerSplitter()->sizes().value(0), 260);
        QCOMPARE(frame.innerSplitter()->rowHeight(0), 200);
        QCOMPARE(frame.outerSplitter()->orientation(), Qt::Horizontal);

        frame.setGeometry(150, 120, 640, 480);
        QTest::qWait(10);
        frame.outerSplitter()->setSizes({222, 400});
        frame.innerSplitter()->setRowHeight(0, 123);
        frame.findChild<QToolBar*>("ToolBar")->hide();
        session.stop();
    }
    QCOMPARE(session.setting("Window size/Rect").toString().section(',', 0, 3), QString("150,120,790,600"));
    QCOMPARE(session.setting("Window size/showCmd").toInt(), 1);
    QCOMPARE(session.setting("Window size/ToolBar").toInt(), 0);
    QCOMPARE(session.setting("Window size/StatusBar").toInt(), 1);
    QCOMPARE(session.setting("View/Colum").toInt(), 222);
    QCOMPARE(session.setting("View/PreviewRow").toInt(), 123);
    {
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        QCOMPARE(frame.geometry(), QRect(150, 120, 640, 480));
        QCOMPARE(frame.outerSplitter()->sizes().value(0), 222);
        QCOMPARE(frame.innerSplitter()->rowHeight(0), 123);
        QVERIFY(frame.findChild<QToolBar*>("ToolBar")->isHidden());
        QVERIFY(!frame.commandState(cmd::kViewToolBar).checked);
        QVERIFY(frame.commandState(cmd::kViewStatusBar).checked);
        session.stop();
    }

    // A malformed "Rect" keeps the numbers it could read and leaves the rest at zero.
    const auto placement = CContFrameWnd::parsePlacement("10,20,x,40", QPoint());
    QCOMPARE(placement.normal.topLeft(), QPoint(10, 20));
    QCOMPARE(placement.normal.width(), -10);
    QCOMPARE(CContFrameWnd::parsePlacement("", QPoint(-4, -4)).maximizedPosition, QPoint(-4, -4));
    QCOMPARE(CContFrameWnd::formatPlacement(CContFrameWnd::parsePlacement("1,2,30,40,5,6,-7,-8", QPoint())),
             QString("1,2,30,40,5,6,-7,-8"));
}

void MainFrameTest::maximisedWindowStartsMaximised() {
    CTestSession session(
        {.settings = {{"Window size/Rect", "50,60,650,560,0,0,-4,-4"}, {"Window size/showCmd", 3}}});
    QVERIFY(session.start());
    QVERIFY(session.frame().isMaximized());
    QCOMPARE(session.frame().normalGeometry(), QRect(50, 60, 600, 500));
    session.stop();
    QCOMPARE(session.setting("Window size/showCmd").toInt(), 3);
    QCOMPARE(session.setting("Window size/Rect").toString(), QString("50,60,650,560,0,0,-4,-4"));
}

void MainFrameTest::previewRowHidesAndShowsWithoutLosingItsView() {
    CTestSession session;
    {
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        QPointer<CTextView> preview = frame.textView();
        QVERIFY(frame.commandState(cmd::kShowPreview).checked);

        frame.innerSplitter()->setRowHeight(0, 150);
        QVERIFY(frame.routeCommand(cmd::kShowPreview));
        QCOMPARE(frame.innerSplitter()->rowCount(), 1);
        QVERIFY(preview && preview->isHidden());
        QVERIFY(!frame.commandState(cmd::kShowPreview).checked);
        QVERIFY(!frame.commandState(cmd::kBrowserMode).enabled);
        QCOMPARE(session.setting("View/PreviewRow").toInt(), 150);
        QCOMPARE(session.setting("View/ShowPreview").toInt(), 0);

        const int rebuildsBefore = preview->previewRebuildCount();
        QVERIFY(frame.routeCommand(cmd::kShowPreview));
        QCOMPARE(frame.innerSplitter()->rowCount(), 2);
        QCOMPARE(frame.textView(), preview.data());
        QVERIFY(preview->isVisible());
        QCOMPARE(frame.innerSplitter()->rowHeight(0), 150);
        QCOMPARE(preview->previewRebuildCount(), rebuildsBefore + 1);  // the current item is shown again

        // Hidden while the item list is only a few pixels high: that height comes back.
        frame.innerSplitter()->setRowHeight(0, 4);
        frame.routeCommand(cmd::kShowPreview);
        QCOMPARE(session.setting("View/PreviewRow").toInt(), 4);
        frame.routeCommand(cmd::kShowPreview);
        QCOMPARE(frame.innerSplitter()->rowHeight(0), 4);

        // Focus in the preview moves to the item list when the row hides.
        frame.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame));
        preview->setFocus();
        QCOMPARE(frame.activeView(), static_cast<CQuilloryView*>(preview.data()));
        frame.routeCommand(cmd::kShowPreview);
        QCOMPARE(frame.activeView(), static_cast<CQuilloryView*>(frame.fileListView()));
        session.stop();
    }
    {
        // Hidden at exit: the next start has no preview row, and with no stored height showing it gives the
        // item list half the client height.
        session.removeSetting("View/PreviewRow");
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        QCOMPARE(frame.innerSplitter()->rowCount(), 1);
        QVERIFY(frame.textView()->isHidden());
        frame.routeCommand(cmd::kShowPreview);
        QVERIFY(frame.isPreviewShown());
        QCOMPARE(frame.innerSplitter()->rowHeight(0), frame.clientHeight() / 2);
        session.stop();
    }
    QCOMPARE(session.setting("View/ShowPreview").toInt(), 1);
}

void MainFrameTest::previewSizeCommands() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();
    CSplitterWndEx& inner = *frame.innerSplitter();
    const int total = inner.rowHeight(0) + inner.rowHeight(1);

    QVERIFY(frame.routeCommand(cmd::kPreviewMaximise));
    QCOMPARE(inner.rowHeight(0), 0);
    QCOMPARE(inner.rowHeight(1), total);
    QVERIFY(frame.routeCommand(cmd::kPreviewMinimise));
    QCOMPARE(inner.rowHeight(1), 0);
    QCOMPARE(inner.rowHeight(0), total);
    QVERIFY(frame.routeCommand(cmd::kPreviewHalf));
    QCOMPARE(inner.rowHeight(0), frame.clientHeight() / 2);
}

void MainFrameTest::sortMenuFollowsTheCategories() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();
    const QStringList fixed{"名前(&N)", "日付(&D)", "サイズ(&S)", "拡張子(&E)", "フォルダ(&F)", "-"};
    const QStringList tail{"-", "昇順(&K)", "-", "整列の設定(&M)..."};

    frame.onInitMenu();
    QCOMPARE(sortMenuTexts(frame), fixed + tail);

    CFileCatalog& catalog = session.catalog();
    catalog.addCategory("作者");
    catalog.addCategory("ジャンル");
    catalog.addCategory("年");
    frame.onInitMenu();
    QCOMPARE(sortMenuTexts(frame), fixed + QStringList({"作者", "ジャンル", "年"}) + tail);
    QCOMPARE(sortMenuIds(frame),
             (QList<int>{32835, 32836, 32837, 32838, 32839, 0, 32840, 32841, 32842, 0, 32793, 0, 32932}));

    catalog.exchangeCategories(0, 2);
    catalog.removeCategory(1);
    frame.onInitMenu();
    QCOMPARE(sortMenuTexts(frame), fixed + QStringList({"年", "作者"}) + tail);
    QVERIFY(!frame.actions().find(32842));  // the entry of the deleted third category is gone
    QVERIFY(session.ui().shown().empty());  // no "Err:MainMenu" / "Err:SubMenu"

    // Opening the menu bar's 表示 menu rebuilds it too.
    catalog.addCategory("場所");
    QMenu* view = frame.menuBar()->actions().at(3)->menu();
    QCOMPARE(frame.menuBar()->actions().at(3)->text(), QString("表示(&V)"));
    Q_EMIT view->aboutToShow();
    QCOMPARE(sortMenuTexts(frame), fixed + QStringList({"年", "作者", "場所"}) + tail);
}

void MainFrameTest::layoutChangesAtTheNextStart() {
    CTestSession session;
    {
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        QVERIFY(frame.commandState(cmd::kLayoutCategoriesBeside).checked);
        QVERIFY(frame.routeCommand(cmd::kLayoutCategoriesAbove));
        QCOMPARE(session.ui().texts(), std::vector<std::string>{"この設定は次回起動時から有効です"});
        QCOMPARE(session.setting("View/SplPos").toInt(), 1);
        // The window keeps its layout until the next start.
        QVERIFY(frame.commandState(cmd::kLayoutCategoriesBeside).checked);
        QVERIFY(!frame.commandState(cmd::kLayoutCategoriesAbove).checked);
        QCOMPARE(frame.outerSplitter()->orientation(), Qt::Horizontal);
        session.stop();
    }
    {
        QVERIFY(session.start());
        CMainFrame& frame = session.frame();
        QCOMPARE(frame.outerSplitter()->orientation(), Qt::Vertical);
        QCOMPARE(frame.outerSplitter()->sizes().value(0), 300);  // "Row" by default
        QVERIFY(frame.commandState(cmd::kLayoutCategoriesAbove).checked);
        frame.outerSplitter()->setSizes({180, 300});
        session.stop();
    }
    QCOMPARE(session.setting("View/Row").toInt(), 180);
    QCOMPARE(session.setting("View/Colum").toInt(), 260);
}

void MainFrameTest::toolBarAcceleratorsAndRouting() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();

    QList<int> buttons;
    for (QAction* action : frame.findChild<QToolBar*>("ToolBar")->actions()) {
        buttons.append(action->isSeparator() ? 0 : action->data().toInt());
        QVERIFY(action->isSeparator() || !action->icon().isNull());
    }
    QCOMPARE(buttons,
             (QList<int>{57600, 57601, 57603, 0,     57635, 57634, 57637, 0,     32771, 0, 32905, 32906,
                         0,     32772, 32934, 0,     57642, 32921, 0,     32941, 32942, 0, 32918, 32919,
                         32920, 0,     32908, 32776, 0,     32786, 0,     32827, 32828, 0, 57664}));

    CCommandActions& actions = frame.actions();
    QCOMPARE(actions.find(cmd::kFileNew)->shortcut(), QKeySequence("Ctrl+N"));
    QCOMPARE(actions.find(cmd::kEditUndo)->shortcuts(),
             (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    QCOMPARE(actions.find(cmd::kEditRepeat)->shortcut(), QKeySequence("F3"));
    QCOMPARE(actions.find(cmd::kHelp)->shortcut(), QKeySequence("F1"));

    // F6 and Shift+F6 walk through the panes.
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QCOMPARE(frame.activeView(), static_cast<CQuilloryView*>(frame.categoryView()));
    QTest::keyClick(&frame, Qt::Key_F6);
    QCOMPARE(frame.activeView(), static_cast<CQuilloryView*>(frame.fileListView()));
    QTest::keyClick(&frame, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(frame.activeView(), static_cast<CQuilloryView*>(frame.categoryView()));

    // Commands that nobody carries out yet are shown disabled; the application's own are enabled.
    frame.updateCommandStates();
    QVERIFY(!actions.find(cmd::kTextColour)->isEnabled());
    QVERIFY(actions.find(cmd::kFileNew)->isEnabled());
    QVERIFY(actions.find(cmd::kOpenSample)->isEnabled());
    QVERIFY(!actions.find(cmd::kFileMruFirst)->isEnabled());  // the recent-file list is empty
    QVERIFY(!frame.routeCommand(cmd::kTextColour));

    // Every menu entry has its command's action; the menu bar carries the Japanese texts.
    QStringList menus;
    for (QAction* top : frame.menuBar()->actions()) {
        menus.append(top->text());
    }
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "編集(&E)", "アイテム(&I)", "表示(&V)", "カテゴリ(&C)",
                                 "プレビュー(&P)", "ツール(&T)", "ヘルプ(&H)"}));
    for (int id :
         {32771, 32772, 32773, 32775, 32776, 32779, 32780, 32781, 32782, 32783, 32786, 32807, 32808, 32809,
          32817, 32818, 32826, 32827, 32828, 32829, 32830, 32831, 32832, 32833, 32834, 32900, 32901, 32902,
          32903, 32904, 32905, 32906, 32907, 32908, 32910, 32911, 32912, 32913, 32914, 32915, 32916, 32917,
          32918, 32919, 32920, 32921, 32933, 32934, 32935, 32936, 32937, 32938, 32939, 32940, 32941, 32942,
          32944, 32946, 32947, 32948, 32949, 32950, 32951, 32952, 32953, 32954, 32956, 32957, 32958, 32961,
          32962, 32963, 32964, 32966, 32967, 32968, 57604, 57644, 57664}) {
        QVERIFY2(actions.find(id) && !actions.find(id)->associatedObjects().isEmpty(),
                 qPrintable(QString::number(id)));
    }
    QCOMPARE(actions.find(cmd::kPreviewMaximise)->text(), QString("プレビュー画面最大化(&M)"));

    // The status bar: the path pane and the count pane wide enough for "555555/555555".
    frame.setStatusCount("555555/555555");
    QVERIFY(frame.statusCountPane()->width() >=
            frame.statusCountPane()->fontMetrics().horizontalAdvance("555555/555555"));
    QCOMPARE(frame.statusPathPane()->text(), QString("レディ"));
    frame.setStatusPath("/home/user/写真/a.jpg");
    QCOMPARE(frame.statusPathPane()->text(), QString("/home/user/写真/a.jpg"));

    // Closing the window through the menu writes the pane sizes at once.
    frame.outerSplitter()->setSizes({190, 400});
    QVERIFY(frame.routeCommand(cmd::kAppExit));
    QVERIFY(!frame.isVisible());
    QCOMPARE(session.setting("View/Colum").toInt(), 190);
}

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
