#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh home folder for one test: HOME, the XDG folders and the settings path all point into a temporary
// folder, so that no test reads or writes the real user's settings, documents or desktop files.
class CTestHome final {
public:
    CTestHome();
    ~CTestHome();

    QString path() const { return m_dir.path(); }
    QString documents() const { return path() + QStringLiteral("/Documents"); }
    QString settingsFile() const { return path() + QStringLiteral("/.config/Vemto/Quillory.conf"); }
    QString dataHome() const { return path() + QStringLiteral("/.local/share"); }

    // Creates an empty file (and its folders).
    static void touch(const QString& filePath);

private:
    QTemporaryDir m_dir;
};
