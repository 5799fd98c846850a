// The input dialog, the catalog rename dialog, the catalog settings and the new-file dialog, driven as a
// user would: typing into their fields and pressing their buttons.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "CTestHome.h"
#include "DialogDriver.h"
#include "dialogs/CCatalogSetDlg.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/CNewFileDlg.h"
#include "dialogs/CRenameDlg.h"
#include "platform/CMemoryProfile.h"

namespace {

// Clicks on the box of a check box.
void clickCheckBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

}  // namespace

class SmallDialogsTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void inputDialogShowsPromptAndReturnsTypedText();
    void renameDialogInBothModes();
    void catalogSettingsOfferRelativePathsOnlyWithoutShortcuts();
    void newFileDialogRemembersItsFolder();
};

void SmallDialogsTest::inputDialogShowsPromptAndReturnsTypedText() {
    CInputDlg dialog;
    dialog.setPrompt(QStringLiteral("カテゴリ名を入力してください"));
    dialog.setValue(QStringLiteral("種類"));
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Quillory"));
    QCOMPARE(child<QLabel>(dialog, "prompt")->text(), QStringLiteral("カテゴリ名を入力してください"));
    auto* edit = child<QLineEdit>(dialog, "value");
    QCOMPARE(edit->text(), QStringLiteral("種類"));
    QCOMPARE(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->text(),
             QStringLiteral("ｷｬﾝｾﾙ"));

    edit->clear();
    typeText(edit, QStringLiteral("作者"));
    clickButton(dialog, QDialogButtonBox::Cancel);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.value(), QStringLiteral("種類"));  // a cancelled edit leaves the value as it was

    dialog.show();
    clickButton(dialog, QDialogButtonBox::Ok);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.value(), QStringLiteral("作者"));

    whenShown<CInputDlg>([](CInputDlg& asked) {
        QTest::keyClick(asked.findChild<QLineEdit*>(), Qt::Key_End);
        typeText(asked.findChild<QLineEdit*>(), QStringLiteral("2"));
        clickButton(asked, QDialogButtonBox::Ok);
    });
    QCOMPARE(CInputDlg::ask(nullptr, QStringLiteral("?"), QStringLiteral("版")),
             std::optional<QString>("版2"));
    whenShown<CInputDlg>([](CInputDlg& asked) { clickButton(asked, QDialogButtonBox::Cancel); });
    QCOMPARE(CInputDlg::ask(nullptr, QStringLiteral("?"), QStringLiteral("版")), std::nullopt);
}

void SmallDialogsTest::renameDialogInBothModes() {
    CTestHome home;
    CMemoryProfile profile;
    profile.writeString("Folder", "Catalog00", "/data/recent");
    profile.writeString("Folder", "Catalog01", "/data/older");

    CRenameDlg rename(profile);
    rename.setCurrentName(QStringLiteral("本棚"));
    rename.setNewName(QStringLiteral("本棚"));
    rename.setFolder(QStringLiteral("/data/older"));
    rename.show();
    QCOMPARE(rename.windowTitle(), QStringLiteral("カタログ名変更"));
    QCOMPARE(child<QLabel>(rename, "explanation")->text(),
             QStringLiteral("カタログの名前を変更します。保存フォルダも変更されます。"));
    auto* current = child<QLineEdit>(rename, "currentName");
    QVERIFY(current->isReadOnly());
    QCOMPARE(current->text(), QStringLiteral("本棚"));
    CFolderComboBox& box = rename.folderBox();
    QCOMPARE(box.count(), 2);
    QCOMPARE(box.currentText(), QStringLiteral("/data/older"));

    box.setFolderPicker([](QWidget*, const QString& start) {
        return std::optional<QString>(start + QStringLiteral("/書庫"));
    });
    QTest::mouseClick(child<QPushButton>(rename, "browseButton"), Qt::LeftButton);
    auto* newName = child<QLineEdit>(rename, "newName");
    newName->clear();
    typeText(newName, QStringLiteral("蔵書"));
    clickButton(rename, QDialogButtonBox::Ok);
    QCOMPARE(rename.newName(), QStringLiteral("蔵書"));
    QCOMPARE(rename.folder(), QStringLiteral("/data/older/書庫"));
    // The confirmed folder heads the history.
    QCOMPARE(profile.readString("Folder", "Catalog00", ""), "/data/older/書庫");
    QCOMPARE(profile.readString("Folder", "Catalog01", ""), "/data/recent");
    QCOMPARE(profile.readString("Folder", "Catalog02", ""), "/data/older");

    CRenameDlg saveAs(profile);
    saveAs.setSaveAs(true);
    saveAs.setCurrentName(QStringLiteral("本棚"));
    saveAs.setFolder(QStringLiteral("/data/elsewhere"));  // not in the history: offered all the same
    saveAs.show();
    QCOMPARE(saveAs.windowTitle(), QStringLiteral("名前を付けて保存"));
    QCOMPARE(child<QLabel>(saveAs, "explanation")->text(), QStringLiteral("カタログを別名で保存します"));
    QCOMPARE(saveAs.folderBox().currentText(), QStringLiteral("/data/elsewhere"));
    clickButton(saveAs, QDialogButtonBox::Cancel);
    QCOMPARE(profile.readString("Folder", "Catalog00", ""), "/data/older/書庫");  // cancel stores nothing
}

void SmallDialogsTest::catalogSettingsOfferRelativePathsOnlyWithoutShortcuts() {
    CCatalogSetDlg dialog;
    dialog.setUseShortcuts(true);
    dialog.setRelativePaths(false);
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("カタログの設定"));
    auto* shortcuts = child<QCheckBox>(dialog, "useShortcuts");
    auto* relative = child<QCheckBox>(dialog, "relativePaths");
    QCOMPARE(shortcuts->text(), QStringLiteral("ショートカットを利用したファイル管理(&F)"));
    QCOMPARE(relative->text(), QStringLiteral("相対パス保存(&R)"));
    QVERIFY(!relative->isEnabled());

    clickCheckBox(shortcuts);
    QVERIFY(relative->isEnabled());
    clickCheckBox(relative);
    clickCheckBox(shortcuts);
    QVERIFY(!relative->isEnabled());
    clickCheckBox(shortcuts);
    clickButton(dialog, QDialogButtonBox::Ok);
    QVERIFY(!dialog.useShortcuts());
    QVERIFY(dialog.relativePaths());
}

void SmallDialogsTest::newFileDialogRemembersItsFolder() {
    CTestHome home;
    CMemoryProfile profile;
    {
        CNewFileDlg first(profile);
        first.show();
        QCOMPARE(first.windowTitle(), QStringLiteral("ファイルの新規作成"));
        QCOMPARE(child<QLineEdit>(first, "fileName")->text(), QString());
        QCOMPARE(child<QLineEdit>(first, "folder")->text(), home.documents());
        QString pickerStart;
        first.setFolderPicker([&](QWidget*, const QString& start) {
            pickerStart = start;
            return std::optional<QString>(home.path() + QStringLiteral("/作業"));
        });
        QTest::mouseClick(child<QPushButton>(first, "browseButton"), Qt::LeftButton);
        QCOMPARE(pickerStart, home.documents());
        typeText(child<QLineEdit>(first, "fileName"), QStringLiteral("メモ.txt"));
        clickButton(first, QDialogButtonBox::Ok);
        QCOMPARE(first.fileName(), QStringLiteral("メモ.txt"));
        QCOMPARE(first.folder(), home.path() + QStringLiteral("/作業"));
    }
    QCOMPARE(QString::fromStdString(profile.readString("System", "NewFileFolder", "")),
             home.path() + "/作業");

    CNewFileDlg second(profile);
    second.show();
    QCOMPARE(child<QLineEdit>(second, "folder")->text(), home.path() + QStringLiteral("/作業"));
    second.setFolderPicker([](QWidget*, const QString&) { return std::optional<QString>(); });
    QTest::mouseClick(child<QPushButton>(second, "browseButton"), Qt::LeftButton);
    QCOMPARE(child<QLineEdit>(second, "folder")->text(), home.path() + QStringLiteral("/作業"));
    clickButton(second, QDialogButtonBox::Cancel);
}

QTEST_MAIN(SmallDialogsTest)
#include "SmallDialogsTest.moc"
