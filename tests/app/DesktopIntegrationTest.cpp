// Making catalogs known to the desktop: MIME type, desktop entry, icon and the new-file template, checked
// with the desktop's own tools.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "CTestHome.h"
#include "desktop/CDesktopIntegration.h"

namespace {

// Runs a tool and returns its exit code (-1 when it cannot run); its output goes to `output`.
int runTool(const QString& program, const QStringList& arguments, QString* output = nullptr) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        return -1;
    }
    if (output) {
        *output = QString::fromUtf8(process.readAll());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

}  // namespace

class DesktopIntegrationTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installsOncePerUserAndRepairsWhatChanged();
};

void DesktopIntegrationTest::installsOncePerUserAndRepairsWhatChanged() {
    CTestHome home;
    const QString data = home.dataHome();
    const QString desktopFile = data + "/applications/quillory.desktop";
    const QString mimeFile = data + "/mime/packages/quillory-catalog.xml";
    const QString templateFile = home.path() + "/Templates/Quilly Document.qlry";

    QCOMPARE(CDesktopIntegration::installForUser("/opt/Quillory 1/quillory"), 5);
    QVERIFY(QFileInfo(data + "/icons/hicolor/scalable/apps/quillory.svg").size() > 100);
    QVERIFY(QFileInfo::exists(data + "/icons/hicolor/scalable/mimetypes/application-x-quillory-catalog.svg"));
    QVERIFY(QFileInfo::exists(templateFile));
    QCOMPARE(QFileInfo(templateFile).size(), 0);  // an empty file opens as an empty catalog
    QVERIFY(contents(desktopFile).contains("Exec=\"/opt/Quillory 1/quillory\" %f\n"));
    QVERIFY(contents(desktopFile).contains("MimeType=application/x-quillory-catalog;"));

    // The desktop's own tools accept what was written.
    QString report;
    QCOMPARE(runTool("desktop-file-validate", {desktopFile}, &report), 0);
    QVERIFY2(report.trimmed().isEmpty(), qPrintable(report));
    QCOMPARE(runTool("xmllint", {"--noout", mimeFile}, &report), 0);
    // update-mime-database ran: the glob for *.qlry is in the user's MIME database.
    QVERIFY(contents(data + "/mime/globs2").contains("application/x-quillory-catalog:*.qlry"));

    // A second start writes nothing; a changed or deleted file is put back; the user's own template
    // (even an edited one) is left alone.
    QCOMPARE(CDesktopIntegration::installForUser("/opt/Quillory 1/quillory"), 0);
    {
        QFile file(desktopFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nName=old\n");
    }
    QVERIFY(QFile::remove(data + "/icons/hicolor/scalable/apps/quillory.svg"));
    {
        QFile file(templateFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    QCOMPARE(CDesktopIntegration::installForUser("/opt/Quillory 1/quillory"), 2);
    QVERIFY(contents(desktopFile).contains("Exec=\"/opt/Quillory 1/quillory\" %f"));
    QCOMPARE(contents(templateFile), QByteArray("x"));

    // A moved program rewrites the entry.
    QCOMPARE(CDesktopIntegration::installForUser("/usr/local/bin/quillory"), 1);
    QVERIFY(contents(desktopFile).contains("Exec=\"/usr/local/bin/quillory\" %f"));
}

QTEST_MAIN(DesktopIntegrationTest)
#include "DesktopIntegrationTest.moc"
