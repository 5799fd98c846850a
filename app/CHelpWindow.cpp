#include "app/CHelpWindow.h"

#include <algorithm>
#include <iterator>

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {

struct ContextPage {
    int context;
    const char* page;
};

// The help contexts that the dialogs ask for, and the page that answers each.
constexpr ContextPage kContextPages[] = {
    {16, "newcatalog.html"},    {17, "cataloglist.html"},  {24, "itemedit.html"},    {30, "addvalue.html"},
    {46, "categorylist.html"},  {49, "renamevalue.html"},  {56, "filter.html"},      {57, "options.html"},
    {90, "category.html"},      {91, "itemmulti.html"},    {92, "sort.html"},
};

// The pages in the order a user learns the program; pages not named here follow by file name.
constexpr const char* kLearningOrder[] = {
    "index.html",     "basics.html",   "newcatalog.html",   "cataloglist.html", "itemedit.html",
    "itemmulti.html", "addvalue.html", "categorylist.html", "category.html",    "renamevalue.html",
    "filter.html",    "sort.html",     "options.html",
};

int learningRank(const QString& page) {
    const auto* const end = std::end(kLearningOrder);
    const auto* const found =
        std::find_if(std::begin(kLearningOrder), end, [&page](const char* name) { return page == QLatin1String(name); });
    return static_cast<int>(found - std::begin(kLearningOrder));
}

QString pageText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    return document.toPlainText();
}

QString pageTitle(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QFileInfo(path).fileName();
    }
    static const QRegularExpression kTitle(QStringLiteral("<title>(.*)</title>"));
    const QRegularExpressionMatch match = kTitle.match(QString::fromUtf8(file.readAll()));
    return match.hasMatch() ? match.captured(1).trimmed() : QFileInfo(path).fileName();
}

}  // namespace

CHelpWindow::CHelpWindow(const QString& folder, QWidget* parent) : QWidget(parent, Qt::Window), m_folder(folder) {
    setObjectName("HelpWindow");
    setWindowTitle(QStringLiteral("Quillory ヘルプ"));
    resize(760, 560);

    auto* side = new QWidget(this);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    auto* keywordLabel = new QLabel(QStringLiteral("キーワード(&K):"), side);
    sideLayout->addWidget(keywordLabel);
    m_keyword = new QLineEdit(side);
    keywordLabel->setBuddy(m_keyword);
    m_keyword->setObjectName("HelpKeyword");
    sideLayout->addWidget(m_keyword);
    m_pages = new QListWidget(side);
    m_pages->setObjectName("HelpPages");
    sideLayout->addWidget(m_pages);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName("HelpBrowser");
    m_browser->setSearchPaths({m_folder});
    m_browser->setOpenExternalLinks(true);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(side);
    splitter->addWidget(m_browser);
    splitter->setSizes({200, 560});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    connect(m_keyword, &QLineEdit::textChanged, this, &CHelpWindow::searchKeyword);
    connect(m_pages, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item) {
            m_browser->setSource(QUrl::fromLocalFile(m_folder + QLatin1Char('/') + item->data(Qt::UserRole).toString()));
        }
    });
    searchKeyword(QString());
}

QString CHelpWindow::pageForContext(int context) {
    for (const ContextPage& entry : kContextPages) {
        if (entry.context == context) {
            return QString::fromLatin1(entry.page);
        }
    }
    return {};
}

void CHelpWindow::showContext(int context) {
    QString page = pageForContext(context);
    if (page.isEmpty() || !QFile::exists(m_folder + QLatin1Char('/') + page)) {
        page = QString::fromLatin1(kContentsPage);
    }
    m_browser->setSource(QUrl::fromLocalFile(m_folder + QLatin1Char('/') + page));
    show();
    raise();
    activateWindow();
}

void CHelpWindow::startKeywordSearch() {
    m_keyword->setFocus(Qt::OtherFocusReason);
    m_keyword->selectAll();
}

void CHelpWindow::searchKeyword(const QString& keyword) {
    QStringList files = QDir(m_folder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
    std::stable_sort(files.begin(), files.end(),
                     [](const QString& a, const QString& b) { return learningRank(a) < learningRank(b); });
    QStringList matching;
    for (const QString& file : files) {
        if (keyword.trimmed().isEmpty() ||
            pageText(m_folder + QLatin1Char('/') + file).contains(keyword.trimmed(), Qt::CaseInsensitive)) {
            matching.append(file);
        }
    }
    fillPageList(matching);
}

void CHelpWindow::fillPageList(const QStringList& pages) {
    const QSignalBlocker blocker(m_pages);
    m_pages->clear();
    for (const QString& page : pages) {
        auto* item = new QListWidgetItem(pageTitle(m_folder + QLatin1Char('/') + page), m_pages);
        item->setData(Qt::UserRole, page);
    }
}

QString CHelpWindow::currentPage() const { return m_browser->source().fileName(); }

QStringList CHelpWindow::listedPages() const {
    QStringList pages;
    for (int i = 0; i < m_pages->count(); ++i) {
        pages.append(m_pages->item(i)->data(Qt::UserRole).toString());
    }
    return pages;
}
