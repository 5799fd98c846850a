#include "preview/CWebBrowser.h"

#include <QDir>
#include <QFileInfo>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "preview/CPreviewPages.h"

CWebBrowser::CWebBrowser(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("WebBrowser"));
    setAccessibleName(QStringLiteral("ブラウザ"));
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

QWebEngineView* CWebBrowser::ensureView() {
    if (m_view == nullptr) {
        m_view = new QWebEngineView(this);
        m_view->setAccessibleName(accessibleName());
        layout()->addWidget(m_view);
        setFocusProxy(m_view);
        connect(m_view, &QWebEngineView::titleChanged, this, &CWebBrowser::titleChanged);
        connect(m_view, &QWebEngineView::loadStarted, this, &CWebBrowser::loadStarted);
        connect(m_view, &QWebEngineView::loadFinished, this, [this](bool ok) {
            m_lastLoadFailed = !ok;
            Q_EMIT loadFinished(ok);
        });
        connect(m_view, &QWebEngineView::urlChanged, this, [this](const QUrl& url) { m_location = url; });
    }
    return m_view;
}

namespace {

// A folder's URL ends in "/", as the web view's own address for it does after it redirects there, so the
// location check sees one folder under one address.
QUrl withFolderSlash(const QUrl& url) {
    if (!url.isLocalFile() || url.path().endsWith(u'/') || !QFileInfo(url.toLocalFile()).isDir()) {
        return url;
    }
    QUrl folder = url;
    folder.setPath(url.path() + u'/');
    return folder;
}

}  // namespace

QUrl CWebBrowser::urlOf(const QString& addressOrPath) {
    return withFolderSlash(plainUrlOf(addressOrPath));
}

QUrl CWebBrowser::plainUrlOf(const QString& addressOrPath) {
    if (addressOrPath.startsWith(u'/')) {
        return QUrl::fromLocalFile(QDir::cleanPath(addressOrPath));  // a name may end in a blank
    }
    const QString text = addressOrPath.trimmed();
    if (text.isEmpty() || text.compare(QStringLiteral("about:blank"), Qt::CaseInsensitive) == 0) {
        return QUrl(QStringLiteral("about:blank"));
    }
    const QFileInfo relative(text);
    if (relative.exists()) {
        return QUrl::fromLocalFile(relative.absoluteFilePath());
    }
    // A scheme is letters, digits, "+", "-" or "." after a first letter, followed by ":".
    const qsizetype colon = text.indexOf(u':');
    bool hasScheme = colon > 1 && text.at(0).isLetter();
    for (qsizetype i = 1; hasScheme && i < colon; ++i) {
        const QChar c = text.at(i);
        hasScheme = c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.';
    }
    const QString rest = hasScheme ? text.mid(colon + 1) : QString();
    if (hasScheme && !rest.isEmpty() && rest.front().isDigit()) {
        hasScheme = false;  // "localhost:8080" is a host and a port
    }
    return hasScheme ? QUrl(text) : QUrl::fromUserInput(text);
}

void CWebBrowser::navigate(const QString& addressOrPath) {
    const QUrl url = urlOf(addressOrPath);
    QWebEngineView* view = ensureView();
    const bool previewPage = url == QUrl::fromLocalFile(CPreviewPages::previewPagePath());
    if (!previewPage && !m_lastLoadFailed && url == m_location) {
        return;
    }
    m_location = url;
    m_lastLoadFailed = false;
    ++m_loads;
    view->load(url);
}

QString CWebBrowser::locationUrl() const {
    return m_view == nullptr ? QString() : m_location.toString();
}

QString CWebBrowser::pageTitle() const {
    return m_view == nullptr ? QString() : m_view->title();
}

void CWebBrowser::releaseDocument() {
    if (m_view != nullptr) {
        navigate(QStringLiteral("about:blank"));
    }
}
