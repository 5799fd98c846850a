#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

// "ブラウザ拡張機能の設定": explains why the browser extension is used, registers the program the extension
// talks to, and tells, browser by browser, how to add the extension. The work is done by the caller's
// actions (the installer belongs to the desktop integration); the dialog shows what they report.
class CBrowserExtensionDlg final : public QDialog {
    Q_OBJECT
public:
    struct Actions {
        // Registers the host with the browsers; the text that says what was written or what failed.
        std::function<QString()> registerHost;
        // True when the host is registered.
        std::function<bool()> registered;
        // Opens the packed extension in Firefox; the text that says so, or why it was not.
        std::function<QString()> addToFirefox;
        // Prepares the extension folder and opens it; the text that says so, or why it was not.
        std::function<QString()> openFolder;
        // The folder the Chromium family (and Firefox's temporary add-ons) load the extension from.
        QString folder;
    };

    explicit CBrowserExtensionDlg(Actions actions, QWidget* parent = nullptr);

    QPushButton* registerButton() const { return m_register; }
    QPushButton* firefoxButton() const { return m_firefox; }
    QPushButton* folderButton() const { return m_folder; }
    QLabel* statusLabel() const { return m_status; }
    QLabel* resultLabel() const { return m_result; }

private:
    QWidget* registerGroup();
    QWidget* firefoxGroup();
    QWidget* chromiumGroup();
    void registerHost();
    void showStatus();
    void report(QLabel* label, const QString& text);

    Actions m_actions;
    QPushButton* m_register = nullptr;
    QPushButton* m_firefox = nullptr;
    QPushButton* m_folder = nullptr;
    QLabel* m_status = nullptr;
    QLabel* m_result = nullptr;
    QLabel* m_firefoxResult = nullptr;
    QLabel* m_folderResult = nullptr;
};
