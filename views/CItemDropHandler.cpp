#include "views/CItemDropHandler.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

constexpr const char* kUriList = "text/uri-list";
constexpr const char* kMozUrl = "text/x-moz-url";

bool isWebAddress(const QUrl& url) {
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// The entries of a "text/uri-list": one URI a line, lines starting with "#" are comments.
QList<QByteArray> uriLines(const QByteArray& uriList) {
    QList<QByteArray> lines;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (!line.isEmpty() && !line.startsWith('#')) {
            lines.append(line);
        }
    }
    return lines;
}

}  // namespace

CItemDropHandler::CItemDropHandler(QObject* parent) : QObject(parent) {}

void CItemDropHandler::watch(QWidget* widget) {
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
}

std::vector<std::string> CItemDropHandler::localFiles(const QByteArray& uriList) {
    std::vector<std::string> paths;
    for (const QByteArray& line : uriLines(uriList)) {
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (!url.isLocalFile()) {
            continue;
        }
        // The path's bytes as the escapes give them, without a round trip through UTF-16.
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (!bytes.isEmpty()) {
            paths.push_back(bytes.toStdString());
        }
    }
    return paths;
}

std::string CItemDropHandler::webAddress(const QMimeData& data) {
    if (data.hasFormat(QString::fromLatin1(kMozUrl))) {
        const QByteArray bytes = data.data(QString::fromLatin1(kMozUrl));
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
        const QUrl url(text.section(QLatin1Char('\n'), 0, 0).trimmed(), QUrl::StrictMode);
        if (isWebAddress(url)) {
            return url.toString(QUrl::FullyEncoded).toStdString();
        }
    }
    if (data.hasFormat(QString::fromLatin1(kUriList))) {
        for (const QByteArray& line : uriLines(data.data(QString::fromLatin1(kUriList)))) {
            const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
            if (isWebAddress(url)) {
                return url.toString(QUrl::FullyEncoded).toStdString();
            }
        }
    }
    return {};
}

std::optional<CItemDropHandler::Drop> CItemDropHandler::read(const QMimeData& data) {
    Drop drop;
    if (data.hasFormat(QString::fromLatin1(kUriList))) {
        drop.files = localFiles(data.data(QString::fromLatin1(kUriList)));
    }
    if (drop.files.empty()) {
        drop.url = webAddress(data);
        if (drop.url.empty()) {
            return std::nullopt;
        }
    }
    return drop;
}

bool CItemDropHandler::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            const QMimeData* data = drag->mimeData();
            if (data && (data->hasFormat(QString::fromLatin1(kUriList)) ||
                         data->hasFormat(QString::fromLatin1(kMozUrl)))) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
                return true;
            }
            return QObject::eventFilter(watched, event);
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const std::optional<Drop> dropped = drop->mimeData() ? read(*drop->mimeData()) : std::nullopt;
            if (!dropped) {
                drop->ignore();
                return true;
            }
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
            // The registration asks questions: it runs after the drop has ended, so that the program the
            // drag came from is not kept waiting for the user.
            QTimer::singleShot(0, this, [this, registered = *dropped] {
                if (!registered.files.empty()) {
                    Q_EMIT filesDropped(registered.files);
                } else {
                    Q_EMIT urlDropped(registered.url);
                }
            });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
