#include "desktop/CDesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "gui/AppUtil.h"

QByteArray CDesktopIntegration::resource(const QString& name) {
    apputil::initResources();
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray CDesktopIntegration::mimePackage() {
    return resource(QStringLiteral(":/desktop/quillory-catalog.xml"));
}

QByteArray CDesktopIntegration::desktopEntry(const QString& executablePath) {
    QByteArray entry = resource(QStringLiteral(":/desktop/quillory.desktop"));
    // The installed entry starts "quillory" from the PATH; a per-user entry names the running program.
    QString exec = executablePath;
    exec.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    entry.replace("Exec=quillory %f", ("Exec=\"" + exec + "\" %f").toUtf8());
    return entry;
}

bool CDesktopIntegration::writeWhenChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content) {
        return false;
    }
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    return file.write(content) == content.size();
}

int CDesktopIntegration::installForUser(const QString& executablePath) {
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty()) {
        return 0;
    }
    int written = 0;
    const bool mimeChanged =
        writeWhenChanged(dataHome + QStringLiteral("/mime/packages/quillory-catalog.xml"), mimePackage());
    written += mimeChanged;
    written += writeWhenChanged(dataHome + QStringLiteral("/applications/quillory.desktop"),
                                desktopEntry(executablePath));
    const QByteArray icon = resource(QStringLiteral(":/icons/quillory.svg"));
    written += writeWhenChanged(dataHome + QStringLiteral("/icons/hicolor/scalable/apps/quillory.svg"), icon);
    written += writeWhenChanged(
        dataHome + QStringLiteral("/icons/hicolor/scalable/mimetypes/application-x-quillory-catalog.svg"),
        icon);

    // An empty file opens as an empty catalog.
    const QString templates = apputil::templatesFolder();
    if (!templates.isEmpty() && QFileInfo(templates).isDir()) {
        const QString path = templates + QLatin1Char('/') + QString::fromUtf8(kTemplateName);
        if (!QFileInfo::exists(path)) {
            written += writeWhenChanged(path, QByteArray());
        }
    }

    if (mimeChanged) {
        const QString updater = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
        if (!updater.isEmpty()) {
            QProcess::execute(updater, {dataHome + QStringLiteral("/mime")});
        }
    }
    return written;
}
