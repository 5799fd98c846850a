// "ブラウザ拡張機能の設定" as a user meets it: the registration state, what registering reports, each
// browser's button by the keyboard alone, and Escape closing the dialog.

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "dialogs/CBrowserExtensionDlg.h"

class BrowserExtensionDlgTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void registersAndReportsByKeyboardAndClosesWithEscape();
};

void BrowserExtensionDlgTest::registersAndReportsByKeyboardAndClosesWithEscape() {
    bool registered = false;
    QStringList pressed;
    CBrowserExtensionDlg::Actions actions;
    actions.registerHost = [&] {
        registered = true;
        pressed << "register";
        return QStringLiteral("連携プログラムを登録しました。書き込んだファイル:\n/home/u/.mozilla/x.json");
    };
    actions.registered = [&] { return registered; };
    actions.addToFirefox = [&] {
        pressed << "firefox";
        return QStringLiteral("Firefox (firefox-esr、firefox) が見つかりません。");
    };
    actions.openFolder = [&] {
        pressed << "folder";
        return QStringLiteral("拡張機能を次のフォルダに用意しました。");
    };
    actions.folder = QStringLiteral("/home/u/.local/share/quillory/browser-extension");
    CBrowserExtensionDlg dialog(actions);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    QCOMPARE(dialog.windowTitle(), QString("ブラウザ拡張機能の設定"));
    QCOMPARE(dialog.statusLabel()->text(), QString("連携プログラムはまだ登録されていません。"));
    QVERIFY(!dialog.resultLabel()->isVisible());
    const QList<QLabel*> labels = dialog.findChildren<QLabel*>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
        return label->text().contains("chrome://extensions") &&
               label->text().contains("/home/u/.local/share/quillory/browser-extension");
    }));

    // The register button has the focus; Space presses it.
    QCOMPARE(QApplication::focusWidget(), dialog.registerButton());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QCOMPARE(pressed, QStringList{"register"});
    QVERIFY(dialog.resultLabel()->isVisible());
    QVERIFY(dialog.resultLabel()->text().contains("/home/u/.mozilla/x.json"));
    QCOMPARE(dialog.statusLabel()->text(), QString("連携プログラムは登録済みです。"));

    // Tab reaches the other two buttons, each with an accessible name.
    for (QPushButton* button : {dialog.firefoxButton(), dialog.folderButton()}) {
        for (int tabs = 0; tabs < 10 && QApplication::focusWidget() != button; ++tabs)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
        QVERIFY(!QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name).isEmpty());
        QTest::keyClick(button, Qt::Key_Space);
    }
    QCOMPARE(pressed, (QStringList{"register", "firefox", "folder"}));
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* label) {
        return label->isVisible() &&
               label->text() == QString("Firefox (firefox-esr、firefox) が見つかりません。");
    }));

    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

QTEST_MAIN(BrowserExtensionDlgTest)
#include "BrowserExtensionDlgTest.moc"
