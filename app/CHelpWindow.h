#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

// The help window: the HTML help pages of data/help, one page per help context, with a list of the
// pages and a keyword search over their text.
class CHelpWindow final : public QWidget {
    Q_OBJECT
public:
    // The page that contents requests and unknown contexts open.
    static constexpr const char* kContentsPage = "index.html";

    CHelpWindow(const QString& folder, QWidget* parent);

    // The page file name of a help context ("" for none: the contents page is used).
    static QString pageForContext(int context);

    // Shows the page of the context (0: the contents) and brings the window up.
    void showContext(int context);
    // Puts the focus into the keyword field.
    void startKeywordSearch();
    // Lists the pages whose text contains the keyword (all pages for an empty keyword).
    void searchKeyword(const QString& keyword);

    QString currentPage() const;
    QStringList listedPages() const;

private:
    void fillPageList(const QStringList& pages);

    QString m_folder;
    QLineEdit* m_keyword = nullptr;
    QListWidget* m_pages = nullptr;
    QTextBrowser* m_browser = nullptr;
};
