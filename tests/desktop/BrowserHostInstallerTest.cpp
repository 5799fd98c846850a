// Registering the host with the browsers of a user: the manifests each browser reads, where it reads them,
// and a failure that names its path without stopping the other browsers' registration.

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <string>

#include "desktop/CBrowserHostInstaller.h"

namespace {

QJsonObject manifestAt(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    return error.error == QJsonParseError::NoError ? document.object() : QJsonObject();
}

std::string str(const QString& text) {
    return text.toStdString();
}

}  // namespace

class BrowserHostInstallerTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void writesTheManifestsOfFirefoxAndTheChromiumFamily();
    void aFolderThatCannotBeWrittenIsNamedAndTheRestStillWritten();
};

void BrowserHostInstallerTest::writesTheManifestsOfFirefoxAndTheChromiumFamily() {
    QTemporaryDir dir;
    const QString home = dir.path() + "/home", config = home + "/.config";
    QVERIFY(QDir().mkpath(config + "/google-chrome"));
    const std::string host = CBrowserHostInstaller::hostPath();
    QVERIFY(!CBrowserHostInstaller::installed(str(home), str(config)));

    const auto result = CBrowserHostInstaller::install(host, str(home), str(config));
    QVERIFY2(result.ok(), result.error.c_str());
    const QString firefox = home + "/.mozilla/native-messaging-hosts/quillory_browser_host.json";
    const QString chromium = config + "/chromium/NativeMessagingHosts/quillory_browser_host.json";
    const QString chrome = config + "/google-chrome/NativeMessagingHosts/quillory_browser_host.json";
    QCOMPARE(result.written, (std::vector<std::string>{str(firefox), str(chromium), str(chrome)}));
    QVERIFY(!QFile::exists(config + "/BraveSoftware"));
    QVERIFY(!QFile::exists(config + "/vivaldi"));

    const QJsonObject mozilla = manifestAt(firefox);
    QCOMPARE(mozilla.value("name").toString(), QString("quillory_browser_host"));
    QCOMPARE(mozilla.value("type").toString(), QString("stdio"));
    QCOMPARE(mozilla.value("path").toString().toStdString(), host);
    QVERIFY(QDir::isAbsolutePath(mozilla.value("path").toString()));
    QCOMPARE(mozilla.value("allowed_extensions").toArray(), QJsonArray{"capture@quillory.vemto"});
    QVERIFY(!mozilla.contains("allowed_origins"));
    QVERIFY(!mozilla.value("description").toString().isEmpty());
    for (const QString& path : {chromium, chrome}) {
        const QJsonObject manifest = manifestAt(path);
        QCOMPARE(manifest.value("name").toString(), QString("quillory_browser_host"));
        QCOMPARE(manifest.value("path").toString().toStdString(), host);
        QCOMPARE(manifest.value("allowed_origins").toArray(),
                 QJsonArray{"chrome-extension://dffjgpdkoohklfoakckfcclofjjjoako/"});
        QVERIFY(!manifest.contains("allowed_extensions"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0644));
    }
    QVERIFY(CBrowserHostInstaller::installed(str(home), str(config)));

    // Manifests that name a host that is gone do not count as registered.
    QVERIFY(CBrowserHostInstaller::install(str(dir.path() + "/gone/quillory-browser-host"), str(home),
                                           str(config))
                .ok());
    QVERIFY(!CBrowserHostInstaller::installed(str(home), str(config)));
}

void BrowserHostInstallerTest::aFolderThatCannotBeWrittenIsNamedAndTheRestStillWritten() {
    QTemporaryDir dir;
    const QString home = dir.path() + "/home", config = home + "/.config";
    QVERIFY(QDir().mkpath(home));
    QFile blocker(home + "/.mozilla");
    QVERIFY(blocker.open(QIODevice::WriteOnly));  // a file where Firefox's folder would be
    blocker.close();

    const auto result =
        CBrowserHostInstaller::install(CBrowserHostInstaller::hostPath(), str(home), str(config));
    QVERIFY(!result.ok());
    QVERIFY2(
        result.error.find(str(home + "/.mozilla/native-messaging-hosts/quillory_browser_host.json")) == 0,
        result.error.c_str());
    QCOMPARE(result.written, std::vector<std::string>{
                                 str(config + "/chromium/NativeMessagingHosts/quillory_browser_host.json")});
    QVERIFY(CBrowserHostInstaller::installed(str(home), str(config)));
}

QTEST_MAIN(BrowserHostInstallerTest)
#include "BrowserHostInstallerTest.moc"
