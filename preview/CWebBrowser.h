#pragma once

#include <QUrl>
#include <QWidget>

class QWebEngineView;

// The web browser of the preview pane: web addresses, local files, folders and the generated preview pages.
// The web engine view inside is created on the first navigation, so a pane that never shows a page costs
// nothing. Navigating to the address already shown does not load it again (a workbook stays as it is),
// except for the generated preview page, whose file changes from one preview to the next, and an address
// whose last load failed.
class CWebBrowser final : public QWidget {
    Q_OBJECT
public:
    explicit CWebBrowser(QWidget* parent = nullptr);

    // A local path (absolute, or an existing relative one) becomes a file URL; "about:blank" and addresses
    // with a scheme are taken as they are; anything else as a user would type it ("example.com"); an empty
    // address is about:blank.
    void navigate(const QString& addressOrPath);
    // The address the browser shows (after redirects and clicked links), empty before the first navigation.
    QString locationUrl() const;
    // The title of the page shown, empty before the first navigation.
    QString pageTitle() const;
    // Shows about:blank, so that the browser lets go of the document it showed.
    void releaseDocument();

    // The URL navigate() loads for an address or path.
    static QUrl urlOf(const QString& addressOrPath);
    // The view, or nullptr until the first navigation.
    QWebEngineView* view() const { return m_view; }
    // How many navigations actually started a load (the location check skips the others).
    int loadCount() const { return m_loads; }

Q_SIGNALS:
    void titleChanged(const QString& title);
    void loadStarted();
    void loadFinished(bool ok);

private:
    QWebEngineView* ensureView();
    static QUrl plainUrlOf(const QString& addressOrPath);

    QWebEngineView* m_view = nullptr;
    QUrl m_location;
    int m_loads = 0;
    bool m_lastLoadFailed = false;  // a failed address may be tried again
};
