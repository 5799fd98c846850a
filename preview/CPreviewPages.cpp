#include "preview/CPreviewPages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "gui/CWaitCursor.h"
#include "preview/CHtmlElement.h"

namespace {

// What the page shows for a size or time the file system cannot tell (a vanished file, no birth time).
const QString kUnknown = QStringLiteral("不明");

QString pageTime(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm")) : kUnknown;
}

constexpr const char* kPageName = "/VemtoHtmlPreview.html";

// True when `folder` is a real folder (not a link) of this user that nobody else may enter or write.
bool isPrivateFolder(const QByteArray& folder) {
    struct stat info {};
    return folder.startsWith('/') && ::lstat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & 077) == 0 && ::access(folder.constData(), W_OK | X_OK) == 0;
}

// The folder of our own below the temporary folder, made with mkdtemp when no runtime folder serves;
// removed with its page when the program ends.
class COwnFolder final {
public:
    ~COwnFolder() { remove(); }

    // The folder for the temporary folder `base`, made when there is none yet; "" with *error set when
    // it cannot be made.
    QByteArray folderIn(const QByteArray& base, QString* error) {
        if (base == m_base && isPrivateFolder(m_path)) {
            return m_path;
        }
        remove();
        QByteArray pattern = base + "/quillory-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            if (error != nullptr) {
                *error = QStringLiteral("%1: %2").arg(QFile::decodeName(base), QString::fromLocal8Bit(std::strerror(errno)));
            }
            return {};
        }
        m_base = base;
        m_path = pattern;
        return m_path;
    }

private:
    void remove() {
        if (!m_path.isEmpty()) {
            ::unlink((m_path + kPageName).constData());
            ::rmdir(m_path.constData());
            m_path.clear();
        }
    }

    QByteArray m_base;
    QByteArray m_path;
};

// The private folder of the page: $XDG_RUNTIME_DIR when it is one, else our own; "" when neither serves.
QByteArray pageFolder(QString* error) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (isPrivateFolder(runtime)) {
        return runtime;
    }
    // Qt gives an empty path when $TMPDIR names no folder; the folder then goes to /tmp, not to the root.
    const QString temp = QDir::tempPath();
    static COwnFolder own;
    return own.folderIn(QFile::encodeName(temp.isEmpty() ? QStringLiteral("/tmp") : temp), error);
}

// Writes the page into its private folder, never through a link (O_NOFOLLOW) and only into a regular file.
QString writePage(const QString& title, const QString& body, QString* error) {
    CWaitCursor wait;
    QString reason;
    const QByteArray folder = pageFolder(&reason);
    if (folder.isEmpty()) {
        if (error != nullptr) {
            *error = QStringLiteral("プレビュー用のフォルダを作成できません。\n") + reason;
        }
        return QStringLiteral("about:blank");
    }
    const QByteArray path = folder + kPageName;
    const QByteArray bytes = CPreviewPages::pageBytes(title, body);
    int failure = 0;
    const int fd = ::open(path.constData(), O_CREAT | O_WRONLY | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    struct stat info {};
    if (fd < 0) {
        failure = errno;
    } else if (::fstat(fd, &info) != 0) {
        failure = errno;
    } else if (!S_ISREG(info.st_mode)) {
        failure = EINVAL;  // a FIFO or a device planted at the name is not written to
    }
    for (qsizetype done = 0; failure == 0 && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (written < 0 && errno != EINTR) {
            failure = errno;
        }
        done += written > 0 ? written : 0;
    }
    if (fd >= 0 && ::close(fd) != 0 && failure == 0 && errno != EINTR) {
        failure = errno;
    }
    const QString pagePath = QFile::decodeName(path);
    if (failure != 0 && error != nullptr) {
        *error = QStringLiteral("%1: %2").arg(pagePath, QString::fromLocal8Bit(std::strerror(failure)));
    }
    return pagePath;
}

QString fileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

}  // namespace

QString CPreviewPages::previewPagePath() {
    const QByteArray folder = pageFolder(nullptr);
    return folder.isEmpty() ? QString() : QFile::decodeName(folder + kPageName);
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
