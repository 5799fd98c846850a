#include "preview/CPreviewPages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include "gui/CWaitCursor.h"
#include "preview/CHtmlElement.h"

namespace {

// What the page shows for a size or time the file system cannot tell (a vanished file, no birth time).
const QString kUnknown = QStringLiteral("不明");

QString pageTime(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")) : kUnknown;
}

QString writePage(const QString& title, const QString& body, QString* error) {
    const QString pagePath = CPreviewPages::previewPagePath();
    CWaitCursor wait;
    QFile page(pagePath);
    const QByteArray bytes = CPreviewPages::pageBytes(title, body);
    bool written = page.open(QIODevice::WriteOnly | QIODevice::Truncate) && page.write(bytes) == bytes.size();
    written = page.flush() && written;
    if (!written && error != nullptr) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(pagePath), page.errorString());
    }
    return pagePath;
}

QString fileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

}  // namespace

QString CPreviewPages::previewPagePath() {
    // Qt gives an empty path when $TMPDIR names no folder; the page then goes to /tmp, not to the root.
    const QString folder = QDir::tempPath();
    return (folder.isEmpty() ? QStringLiteral("/tmp") : folder) + QStringLiteral("/VemtoHtmlPreview.html");
}

QByteArray CPreviewPages::pageBytes(const QString& title, const QString& body) {
    const QString text = QStringLiteral("<HTML>\r\n<HEAD><META charset=\"utf-8\"><TITLE>") +
                         CHtmlElement::escape(title) + QStringLiteral("</TITLE></HEAD>\r\n<BODY>") + body +
                         QStringLiteral("</BODY>\r\n</HTML>");
    return text.toUtf8();
}

QString CPreviewPages::writeFileInfoPage(const QString& path, const QString& title, QString* error) {
    const QFileInfo info(path);
    const bool known = info.exists();
    const QString shownPath = CHtmlElement::escape(QDir::toNativeSeparators(path));
    const QString link = CHtmlElement::escape(QUrl::fromLocalFile(info.absoluteFilePath()).toString(QUrl::FullyEncoded));
    QString body = QStringLiteral("<H1>") + CHtmlElement::escape(title) + QStringLiteral("</H1>\n");
    body += QStringLiteral("ファイル名：<A HREF=\"") + link + QStringLiteral("\">") + shownPath + QStringLiteral("</A>");
    body += QStringLiteral("<BR><HR>\n");
    body += QStringLiteral("<B>サイズ：</B>") +
            (known ? QString::number(info.size()) + QStringLiteral("バイト") : kUnknown) + QStringLiteral("<br>");
    body += QStringLiteral("<B>作成日付：</B>") + pageTime(known ? info.birthTime() : QDateTime()) +
            QStringLiteral("<BR>\n");
    body += QStringLiteral("<B>最終変更日付：</B>") + pageTime(known ? info.lastModified() : QDateTime()) +
            QStringLiteral("<BR>\n");
    return writePage(title, body, error);
}

QString CPreviewPages::writeMediaPage(const QString& path, bool video, int paneHeight, QString* error) {
    CHtmlElement element(video ? QStringLiteral("<VIDEO>") : QStringLiteral("<AUDIO>"));
    element.setAttribute(QStringLiteral("SRC"),
                         QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
    element.setAttribute(QStringLiteral("AUTOSTART"), QStringLiteral("FALSE"));
    if (video) {
        element.setAttribute(QStringLiteral("HEIGHT"), QString::number(std::max(paneHeight - 50, 0)));
    }
    element.setAttribute(QStringLiteral("CONTROLS"), QStringLiteral("CONTROLS"));
    // The height alone would give a video of twice its width at the default shape, wider than the pane.
    element.setAttribute(QStringLiteral("STYLE"), QStringLiteral("max-width:100%"));
    return writePage(fileName(path), element.render() + element.renderEndTag(), error);
}

QString CPreviewPages::writeBlankInfoPage(const QString& currentPathOrEmpty, QString* error) {
    if (currentPathOrEmpty.isEmpty()) {
        return QStringLiteral("about:blank");
    }
    return writeFileInfoPage(currentPathOrEmpty, QStringLiteral("バイナリファイル"), error);
}
