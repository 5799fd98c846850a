// The shared controls: the folder history combo box and the menu button; and the help window.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "CTestHome.h"
#include "CTestSession.h"
#include "app/CHelpWindow.h"
#include "app/CMainFrame.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CMenuButton.h"
#include "gui/AppUtil.h"
#include "gui/CommandIds.h"
#include "platform/CMemoryProfile.h"

namespace {

QStringList entries(const QComboBox& box) {
    QStringList texts;
    for (int i = 0; i < box.count(); ++i) {
        texts.append(box.itemText(i));
    }
    return texts;
}

std::string folderEntry(const CMemoryProfile& profile, int i) {
    return profile.readString("Folder",
                              QStringLiteral("Catalog%1").arg(i, 2, 10, QLatin1Char('0')).toStdString(), "");
}

}  // namespace

class ControlsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void emptyHistoryStartsAtTheDefaultCatalogFolder();
    void historyKeepsTenFoldersMostRecentFirst();
    void selectionAndCurrentFolder();
    void menuButtonReturnsTheChosenCommand();
    void helpOpensByContextAndReportsMissingPages();
};

void ControlsTest::emptyHistoryStartsAtTheDefaultCatalogFolder() {
    CTestHome home;
    CMemoryProfile profile;
    CFolderComboBox box(profile, "Folder", "Catalog");
    box.load();
    QCOMPARE(box.currentFolder(), home.documents() + "/Quillory");
    QCOMPARE(entries(box), QStringList{home.documents() + "/Quillory"});
    QCOMPARE(box.currentIndex(), 0);
    QCOMPARE(apputil::defaultCatalogFolder(), home.documents() + "/Quillory");
    box.save();
    QCOMPARE(folderEntry(profile, 0), (home.documents() + "/Quillory").toStdString());
    QVERIFY(folderEntry(profile, 1).empty());

    // With a history but no current folder, the most recent folder becomes current.
    profile.writeString("Folder", "Catalog00", "/data/本");
    profile.writeString("Folder", "Catalog01", "/data/音楽");
    CFolderComboBox second(profile, "Folder", "Catalog");
    second.load();
    QCOMPARE(second.currentFolder(), QString("/data/本"));
    QCOMPARE(entries(second), (QStringList{"/data/本", "/data/音楽"}));
}

void ControlsTest::historyKeepsTenFoldersMostRecentFirst() {
    CTestHome home;
    CMemoryProfile profile;
    for (int i = 0; i < 10; ++i) {
        profile.writeString("Folder",
                            QStringLiteral("Catalog%1").arg(i, 2, 10, QLatin1Char('0')).toStdString(),
                            "/f" + std::to_string(i));
    }
    CFolderComboBox box(profile, "Folder", "Catalog");
    box.setCurrentFolder("/f3");
    box.load();
    QCOMPARE(box.count(), 10);
    QCOMPARE(box.currentText(), QString("/f3"));

    // An eleventh folder through browse: it goes to the top; on confirming, the oldest one is lost.
    QString startedAt;
    box.setFolderPicker([&startedAt](QWidget*, const QString& start) -> std::optional<QString> {
        startedAt = start;
        return QString("/new");
    });
    box.browse();
    QCOMPARE(startedAt, QString("/f3"));
    QCOMPARE(box.currentFolder(), QString("/new"));
    QCOMPARE(box.currentText(), QString("/new"));
    box.save();
    QCOMPARE(folderEntry(profile, 0), std::string("/new"));
    QCOMPARE(folderEntry(profile, 1), std::string("/f0"));
    QCOMPARE(folderEntry(profile, 9), std::string("/f8"));
    QVERIFY(profile.readString("Folder", "Catalog10", "").empty());

    // Browsing to a folder already in the list moves it to the top instead of doubling it.
    box.setFolderPicker([](QWidget*, const QString&) -> std::optional<QString> { return QString("/f5"); });
    box.browse();
    QCOMPARE(box.count(), 11);
    QCOMPARE(entries(box).count("/f5"), 1);
    QCOMPARE(box.itemText(0), QString("/f5"));
    box.save();
    QCOMPARE(folderEntry(profile, 0), std::string("/f5"));
    QCOMPARE(folderEntry(profile, 1), std::string("/new"));

    // A cancelled chooser changes nothing.
    box.setFolderPicker([](QWidget*, const QString&) -> std::optional<QString> { return std::nullopt; });
    box.browse();
    QCOMPARE(box.currentFolder(), QString("/f5"));
}

void ControlsTest::selectionAndCurrentFolder() {
    CTestHome home;
    CMemoryProfile profile;
    profile.writeString("Folder", "Catalog00", "/a");
    profile.writeString("Folder", "Catalog01", "");  // an empty entry is skipped
    profile.writeString("Folder", "Catalog02", "/c");
    CFolderComboBox box(profile, "Folder", "Catalog");
    box.setCurrentFolder("/c");
    box.load();
    QCOMPARE(entries(box), (QStringList{"/a", "/c"}));
    QCOMPARE(box.currentIndex(), 1);

    // Choosing an entry as a user does makes it the current folder; confirming writes it first.
    box.show();
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(box.currentFolder(), QString("/a"));
    box.setCurrentIndex(1);
    QCOMPARE(box.currentFolder(), QString("/c"));
    box.save();
    QCOMPARE(folderEntry(profile, 0), std::string("/c"));
    QCOMPARE(folderEntry(profile, 1), std::string("/a"));

    // A current folder that is not in the history stays current, with nothing selected.
    CFolderComboBox other(profile, "Folder", "Catalog");
    other.setCurrentFolder("/elsewhere");
    other.load();
    QCOMPARE(other.currentIndex(), -1);
    QCOMPARE(other.currentFolder(), QString("/elsewhere"));

    QCOMPARE(apputil::folderPickerTitle(""), QString("フォルダ選択"));
    QCOMPARE(apputil::folderPickerTitle("プラグインフォルダ"), QString("プラグインフォルダ"));
}

void ControlsTest::menuButtonReturnsTheChosenCommand() {
    CMenuButton button("追加(&A)　▼");
    button.resize(120, 28);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QImage drawn = button.grab().toImage();
    QVERIFY(!drawn.isNull());

    QMenu menu;
    menu.addAction("名前")->setData(-1);
    menu.addAction("日付")->setData(-2);
    menu.addAction("作者")->setData(32840);
    QPoint shownAt;
    QTimer::singleShot(50, &menu, [&] {
        shownAt = menu.pos();
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Return);
    });
    QCOMPARE(button.dropMenu(menu), 32840);
    QCOMPARE(shownAt, button.mapToGlobal(button.rect().bottomLeft()));
    QVERIFY(!button.isDown());

    QTimer::singleShot(50, &menu, [&] { QTest::keyClick(&menu, Qt::Key_Escape); });
    QCOMPARE(button.dropMenu(menu), 0);

    // The triangle is drawn in the text colour, and in the grey-text colour when the button is disabled.
    auto darkPixelsAtCentre = [](QWidget& widget) {
        const QImage image = widget.grab().toImage();
        int dark = 0;
        const QPoint centre = widget.rect().center();
        for (int x = centre.x() - 2; x <= centre.x() + 4; ++x) {
            for (int y = centre.y() - 4; y <= centre.y() + 4; ++y) {
                dark += qGray(image.pixel(x, y)) < 100;
            }
        }
        return dark;
    };
    QVERIFY(darkPixelsAtCentre(button) >= 10);
    button.setEnabled(false);
    QCOMPARE(darkPixelsAtCentre(button), 0);
}

void ControlsTest::helpOpensByContextAndReportsMissingPages() {
    CTestSession session;
    QVERIFY(session.start());
    CMainFrame& frame = session.frame();

    const QString pages = QStringLiteral(QUILLORY_SOURCE_DIR "/data/help");
    frame.setHelpFilePath(pages + "/index.html");
    QVERIFY(frame.showHelp(92));
    QCOMPARE(frame.helpWindow()->currentPage(), QString("sort.html"));
    QVERIFY(frame.helpWindow()->isVisible());
    // Every help context that a dialog names has its page.
    for (int context : {16, 17, 24, 30, 46, 49, 56, 57, 90, 91, 92}) {
        QVERIFY2(QFile::exists(pages + "/" + CHelpWindow::pageForContext(context)),
                 qPrintable(QString::number(context)));
    }
    frame.showHelp(12345);
    QCOMPARE(frame.helpWindow()->currentPage(), QString("index.html"));
    frame.helpWindow()->searchKeyword("カテゴリは10個");
    QCOMPARE(frame.helpWindow()->listedPages(), QStringList{"categorylist.html"});
    frame.helpWindow()->searchKeyword("");
    QCOMPARE(frame.helpWindow()->listedPages().size(), QDir(pages).entryList({"*.html"}).size());
    // The index lists the pages as a user learns, and the page the new-catalog wizard points to is there.
    QCOMPARE(frame.helpWindow()->listedPages().mid(0, 4),
             (QStringList{"index.html", "basics.html", "newcatalog.html", "cataloglist.html"}));
    frame.helpWindow()->searchKeyword("基本的な使い方");
    QVERIFY(frame.helpWindow()->listedPages().contains("basics.html"));
    QVERIFY(session.ui().shown().empty());

    frame.setHelpFilePath(session.home().path() + "/nowhere/index.html");
    QVERIFY(frame.routeCommand(cmd::kHelp));
    QCOMPARE(session.ui().texts(),
             std::vector<std::string>{QStringLiteral("ヘルプファイルがありません：%1/nowhere/index.html")
                                          .arg(session.home().path())
                                          .toStdString()});
}

QTEST_MAIN(ControlsTest)
#include "ControlsTest.moc"
