// The preview pane's web view in the whole program: a web address item shows its page, the page's title
// becomes the item's title on command 32933 (one undo point, the modified mark, hint 10), and a folder
// goes to the web view in browser mode and back to the editor's single word when browser mode ends.

#include <QTest>

#include "CHintRecorder.h"
#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CQuilloryDoc.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "preview/CREditCtrl.h"
#include "preview/CTextView.h"
#include "preview/CWebBrowser.h"
#include "support/CTempFolder.h"

namespace {

constexpr int kLoadTimeout = 30000;

QString writeCatalog(CTestSession& session, const QStringList& paths) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Web");
    catalog.addCategory("種類");
    for (const QString& path : paths) {
        auto item = catalog.newItem(false);
        item->setPath(path.toStdString(), catalog.catalogFolder(), false);
        item->setTitle("古い題名");
        catalog.addItem(std::move(item));
    }
    const std::string file = catalog.path();
    return CCatalogFile::write(catalog, file) ? QString() : QString::fromStdString(file);
}

}  // namespace

class CWebPreviewTest final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pageTitleBecomesTheItemTitle();
    void folderInBrowserMode();
};

void CWebPreviewTest::pageTitleBecomesTheItemTitle() {
    CTestSession session;
    CTempFolder folder;
    const std::string page =
        folder.write("page.html", "<html><head><meta charset=\"utf-8\"><title>富士山の写真</title></head>"
                                  "<body>山</body></html>");
    const QString address = QStringLiteral("file://") + QString::fromStdString(page);
    QVERIFY(session.start({writeCatalog(session, {address})}));
    CTextView& pane = *session.frame().textView();
    QCOMPARE(pane.mode(), CTextView::Mode::Browser);
    QVERIFY(pane.isBrowserShown());
    QTRY_COMPARE_WITH_TIMEOUT(pane.browser()->pageTitle(), QStringLiteral("富士山の写真"), kLoadTimeout);

    CHintRecorder hints(session.document());
    QVERIFY(!session.document().isModified());
    QVERIFY(session.run(cmd::kSetWebPageTitle));
    CFileItem& item = *session.catalog().displayedItems().front();
    QCOMPARE(item.title(), std::string("富士山の写真"));
    QVERIFY(session.document().isModified());
    QCOMPARE(hints.hints, QList<int>{10});

    // One undo point: undo brings the old title back.
    QVERIFY(session.run(cmd::kEditUndo));
    QCOMPARE(session.catalog().displayedItems().front()->title(), std::string("古い題名"));
}

void CWebPreviewTest::folderInBrowserMode() {
    CTestSession session;
    CTempFolder folder;
    folder.write("d/中身.txt", "x");
    QVERIFY(session.start({writeCatalog(session, {QString::fromStdString(folder / "d")})}));
    CTextView& pane = *session.frame().textView();
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("ディレクトリ"));

    QVERIFY(session.run(cmd::kBrowserMode));
    QCOMPARE(pane.mode(), CTextView::Mode::Browser);
    QVERIFY(!pane.editor());
    QTRY_VERIFY_WITH_TIMEOUT(!pane.browser()->locationUrl().isEmpty(), kLoadTimeout);

    QVERIFY(session.run(cmd::kBrowserMode));
    QCOMPARE(pane.mode(), CTextView::Mode::Text);
    QVERIFY(!pane.isBrowserShown());
    QCOMPARE(pane.editor()->toPlainText(), QStringLiteral("ディレクトリ"));
}

QTEST_MAIN(CWebPreviewTest)
#include "CWebPreviewTest.moc"
