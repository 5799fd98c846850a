#include "gui/AppUtil.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTextStream>
#include <QTranslator>
#include <QUrl>

// Resources of a static library are registered by hand; this must stand outside any namespace.
static void registerQuilloryResources() {
    Q_INIT_RESOURCE(quillory);
}

namespace apputil {

void initResources() {
    static const bool registered = (registerQuilloryResources(), true);
    (void)registered;
}

void useJapaneseLocale() {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

bool installQtTranslations() {
    static QTranslator* installed = nullptr;
    if (installed) {
        return true;
    }
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed = translator;
    QObject::connect(translator, &QObject::destroyed, [] { installed = nullptr; });
    return true;
}

QString executableFolderPath(const QString& fileName) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + fileName;
}

QString defaultCatalogFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/Quillory");
}

namespace {

// The value of XDG_<NAME>_DIR in user-dirs.dirs, with $HOME expanded; "" when it is not set there.
QString userDirsEntry(const QString& name) {
    const QString configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    QFile file(configHome + QStringLiteral("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    const QString prefix = QStringLiteral("XDG_%1_DIR=").arg(name);
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (!line.startsWith(prefix)) {
            continue;
        }
        QString value = line.mid(prefix.size());
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"'))) {
            value = value.mid(1, value.size() - 2);
        }
        value.replace(QStringLiteral("$HOME"), QDir::homePath());
        return value;
    }
    return {};
}

}  // namespace

QString templatesFolder() {
    const QString configured = userDirsEntry(QStringLiteral("TEMPLATES"));
    if (!configured.isEmpty()) {
        // A templates folder set to the home folder itself means "none" to the XDG tools.
        return QDir(configured) == QDir::home() ? QString() : configured;
    }
    const QString fallback = QDir::homePath() + QStringLiteral("/Templates");
    return QDir(fallback).exists() ? fallback : QString();
}

bool shellOpen(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QUrl url = path.contains(QStringLiteral("://")) ? QUrl(path) : QUrl::fromLocalFile(path);
    return QDesktopServices::openUrl(url);
}

QString folderPickerTitle(const QString& title) {
    return title.isEmpty() ? QStringLiteral("フォルダ選択") : title;
}

std::optional<QString> pickFolder(QWidget* parent, const QString& title, const QString& startFolder,
                                  bool startInCurrentDirectory) {
    const QString start = startInCurrentDirectory ? QDir::currentPath() : startFolder;
    const QString chosen = QFileDialog::getExistingDirectory(parent, folderPickerTitle(title), start);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return QDir::cleanPath(chosen);
}

}  // namespace apputil
