#pragma once

// Files of the browser session tests: Firefox's "mozLz40" session store, and files written whole.

#include <lz4.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace sessiontest {

// A "mozLz40" file of `json`, compressed.
inline QByteArray mozLz4(const QByteArray& json) {
    QByteArray block(LZ4_compressBound(static_cast<int>(json.size())), '\0');
    const int size = LZ4_compress_default(json.constData(), block.data(), static_cast<int>(json.size()),
                                          static_cast<int>(block.size()));
    QByteArray file("mozLz40\0", 8);
    const auto length = static_cast<quint32>(json.size());
    for (int i = 0; i < 4; ++i) {
        file += static_cast<char>((length >> (8 * i)) & 0xFF);
    }
    return file + block.left(size);
}

// Writes `content` to `path`, making its folder; false when that fails.
inline bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

}  // namespace sessiontest
