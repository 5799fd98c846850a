#include "CTestHome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

CTestHome::CTestHome() {
    const QString home = m_dir.path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/.local/share").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/.cache").toUtf8());
    QDir().mkpath(home + "/.config");
    QDir().mkpath(home + "/Templates");
    // QSettings keeps the folder it resolved first; point it at this home for every settings object made
    // from now on.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home + "/.config");
}

CTestHome::~CTestHome() = default;

void CTestHome::touch(const QString& filePath) {
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    QFile file(filePath);
    file.open(QIODevice::WriteOnly);
}
