#pragma once

// Files and catalogs the preview tests make, and typing as the keyboard delivers it.

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QKeyEvent>
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <utility>

#include "CTestSession.h"
#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "model/CFileItem.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"

// Types the text as the keyboard (or an input method, for Japanese) delivers it: one key event per
// character, carrying the character.
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text in code page 932, as iconv writes it.
inline QByteArray sjis(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return QByteArray::fromStdString(
        CToolRunner::run("iconv -f UTF-8 -t CP932", std::string_view(utf8.constData(), utf8.size())).output);
}

inline QString write(const CTempFolder& folder, const char* name, const QByteArray& bytes) {
    return QString::fromStdString(folder.write(name, std::string_view(bytes.constData(), bytes.size())));
}

// A catalog of the paths (files, folders or web addresses), listed in name order.
inline QString writeCatalog(CTestSession& session, const QStringList& paths) {
    CFileCatalog catalog;
    CCatalogFolder(catalog).setLocation(session.catalogsFolder().toStdString(), "Preview");
    catalog.addCategory("種類");
    for (const QString& path : paths) {
        auto item = catalog.newItem(false);
        item->setPath(path.toStdString(), catalog.catalogFolder(), false);
        catalog.addItem(std::move(item));
    }
    const std::string file = catalog.path();
    return CCatalogFile::write(catalog, file) ? QString() : QString::fromStdString(file);
}
