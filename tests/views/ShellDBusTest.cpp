// "Show in folder" and "properties" from the item list reach the file manager over D-Bus, on a session bus
// of the test's own (run under dbus-run-session): a fake org.freedesktop.FileManager1 records the calls;
// without it the file's folder is opened instead.

#include <QDBusConnection>
#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>

#include "CTestSession.h"
#include "app/CMainFrame.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "gui/CommandIds.h"
#include "model/CFileItem.h"
#include "views/CFileListView.h"
#include "views/MyCug.h"

namespace {

// The file manager's interface as Nautilus, Dolphin and Thunar export it, recording every call.
class CFakeFileManager final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList calls;  // "method|uri,uri|startup id"

public Q_SLOTS:
    void ShowFolders(const QStringList& uris, const QString& startupId) { record("ShowFolders", uris, startupId); }
    void ShowItems(const QStringList& uris, const QString& startupId) { record("ShowItems", uris, startupId); }
    void ShowItemProperties(const QStringList& uris, const QString& startupId) {
        record("ShowItemProperties", uris, startupId);
    }

private:
    void record(const QString& method, const QStringList& uris, const QString& startupId) {
        calls << method + "|" + uris.join(",") + "|" + startupId;
    }
};

}  // namespace

class ShellDBusTest final : public QObject {
    Q_OBJECT

public Q_SLOTS:
    void openUrl(const QUrl& url) { m_opened << url; }

private Q_SLOTS:
    void fileManagerShowsTheItem();

private:
    QList<QUrl> m_opened;
};

void ShellDBusTest::fileManagerShowsTheItem() {
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "run under dbus-run-session");
    CTestSession session;
    const std::string folder = session.home().path().toStdString() + "/files";
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/a b#%.txt";
    std::ofstream(file) << "x";
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Files");
    for (const std::string& path : {file, std::string("https://example.com/")}) {
        auto item = catalog.newItem(false);
        item->setPath(path, catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    QVERIFY(!CCatalogFile::write(catalog, catalog.path()));
    QVERIFY(session.start({QString::fromStdString(catalog.path())}));
    QDesktopServices::setUrlHandler("file", this, "openUrl");
    CFileListView& view = *session.frame().fileListView();
    MyCug& grid = view.grid();
    const int fileRow = grid.itemAt(0)->path() == file ? 0 : 1;
    session.frame().setActiveView(&view);
    grid.gotoCell(1, fileRow);

    // No file manager on the bus: the folder opens instead.
    QVERIFY(session.run(cmd::kShowFileFolder));
    QTRY_COMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened.at(0), QUrl::fromLocalFile(QString::fromStdString(folder)));

    // A file manager on the bus gets the file's URI and a startup id, through another connection.
    CFakeFileManager manager;
    QDBusConnection fake = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-file-manager");
    QVERIFY(fake.registerObject("/org/freedesktop/FileManager1", &manager, QDBusConnection::ExportAllSlots));
    QVERIFY(fake.registerService("org.freedesktop.FileManager1"));
    QVERIFY(session.run(cmd::kShowFileFolder));
    QVERIFY(session.run(cmd::kFileProperties));
    QTRY_COMPARE(manager.calls.size(), 2);
    const QString uri = QString::fromStdString("file://" + folder + "/a%20b%23%25.txt");
    QVERIFY(manager.calls.at(0).startsWith("ShowItems|" + uri + "|"));
    QVERIFY(manager.calls.at(1).startsWith("ShowItemProperties|" + uri + "|"));
    QVERIFY(manager.calls.at(0).contains("_TIME"));
    QCOMPARE(m_opened.size(), 1);

    // Web addresses have no folder to show.
    grid.gotoCell(1, 1 - fileRow);
    CCommandState state;
    QVERIFY(view.onUpdateCommand(cmd::kShowFileFolder, state) && !state.enabled);
    QVERIFY(view.onUpdateCommand(cmd::kFileProperties, state) && !state.enabled);
    QVERIFY(!session.run(cmd::kShowFileFolder));
    QCOMPARE(manager.calls.size(), 2);

    fake.unregisterService("org.freedesktop.FileManager1");
    QDBusConnection::disconnectFromBus("fake-file-manager");
    QDesktopServices::unsetUrlHandler("file");
}

QTEST_MAIN(ShellDBusTest)
#include "ShellDBusTest.moc"
