// The new-catalog wizard on a fresh home: every check of its pages with the exact messages and questions,
// the folder history entry it keeps, opening an existing catalog instead, and what it hands back.

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTreeWidget>

#include "CTestHome.h"
#include "DialogDriver.h"
#include "dialogs/CCatalogDlg.h"
#include "dialogs/CInputDlg.h"
#include "dialogs/CNewCatalogWizard.h"
#include "dialogs/CNewCategoryPage.h"
#include "dialogs/CNewDirPage.h"
#include "dialogs/DialogHelp.h"
#include "gui/CQtUserInterface.h"
#include "platform/CMemoryProfile.h"
#include "support/CRecordingUserInterface.h"

namespace {

void pressNext(QWizard& wizard) {
    QTest::mouseClick(wizard.button(QWizard::NextButton), Qt::LeftButton);
}

void typeCategory(QWizardPage& page, const QString& name) {
    typeText(child<QLineEdit>(page, "categoryName"), name);
    QTest::mouseClick(child<QPushButton>(page, "addButton"), Qt::LeftButton);
}

std::vector<std::string> lastTexts(const CRecordingUserInterface& ui, std::size_t count) {
    std::vector<std::string> texts = ui.texts();
    return {texts.end() - static_cast<std::ptrdiff_t>(std::min(count, texts.size())), texts.end()};
}

}  // namespace

class NewCatalogWizardTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void folderPageChecksNameFolderAndFile();
    void categoryPageAddsRenamesAndDeletes();
    void finishingHandsBackTheChoice();
    void openExistingCatalogEndsTheWizard();
    void questionsAppearAsMessageBoxes();
};

void NewCatalogWizardTest::folderPageChecksNameFolderAndFile() {
    CTestHome home;
    CMemoryProfile profile;
    CRecordingUserInterface ui;
    std::vector<int> helpShown;
    dialoghelp::setHandler([&](int context) { helpShown.push_back(context); });

    CNewCatalogWizard wizard(profile);
    wizard.show();
    QCOMPARE(wizard.windowTitle(), QStringLiteral("新規作成"));
    CNewDirPage& page = wizard.dirPage();
    QCOMPARE(page.title(), QStringLiteral("新規カタログ"));
    // A first start proposes the documents folder + "/Quillory" and stores it at once.
    const QString proposed = home.documents() + QStringLiteral("/Quillory");
    QCOMPARE(child<QLineEdit>(page, "folder")->text(), proposed);
    QVERIFY(child<QLineEdit>(page, "folder")->isReadOnly());
    QCOMPARE(QString::fromStdString(profile.readString("Folder", "Catalog00", "")), proposed);

    QTest::mouseClick(wizard.button(QWizard::HelpButton), Qt::LeftButton);
    QCOMPARE(helpShown, std::vector<int>{dialoghelp::kNewCatalogContext});

    pressNext(wizard);
    QCOMPARE(ui.texts(), std::vector<std::string>{"新規カタログ名を入力してください"});
    QCOMPARE(wizard.currentId(), 0);

    // The folder picker: cancel keeps the folder, a choice replaces it and is stored.
    page.setFolderPicker([](QWidget*, const QString&) { return std::optional<QString>(); });
    QTest::mouseClick(child<QPushButton>(page, "changeFolderButton"), Qt::LeftButton);
    QCOMPARE(page.folder(), proposed);
    const QString parent = home.path() + QStringLiteral("/カタログ");
    QString pickerStart;
    page.setFolderPicker([&](QWidget*, const QString& start) {
        pickerStart = start;
        return std::optional<QString>(parent);
    });
    QTest::mouseClick(child<QPushButton>(page, "changeFolderButton"), Qt::LeftButton);
    QCOMPARE(pickerStart, proposed);
    QCOMPARE(child<QLineEdit>(page, "folder")->text(), parent);
    QCOMPARE(QString::fromStdString(profile.readString("Folder", "Catalog00", "")), parent);

    // An existing folder is used only when the user agrees, and then an existing catalog file too.
    QDir().mkpath(parent + QStringLiteral("/写真"));
    CTestHome::touch(parent + QStringLiteral("/写真/写真.qlry"));
    typeText(child<QLineEdit>(page, "catalogName"), QStringLiteral("写真"));
    const std::string folderQuestion =
        ("既存のフォルダがあります - " + parent + "/写真\nこのフォルダを使いますか？").toStdString();
    const std::string fileQuestion =
        "既存のカタログがあります - 写真\n上書きしますか？ 注：上書き保存された場合、旧データは失われます。";
    ui.clear();
    ui.scriptAnswers({false});
    pressNext(wizard);
    QCOMPARE(ui.texts(), std::vector<std::string>{folderQuestion});
    QCOMPARE(ui.shown().back().kind, CRecordingUserInterface::Shown::Kind::YesNo);
    QCOMPARE(wizard.currentId(), 0);
    ui.scriptAnswers({true, false});
    pressNext(wizard);
    QCOMPARE(lastTexts(ui, 2), (std::vector<std::string>{folderQuestion, fileQuestion}));
    QCOMPARE(wizard.currentId(), 0);
    ui.scriptAnswers({true, true});
    pressNext(wizard);
    QCOMPARE(wizard.currentId(), 1);
    QCOMPARE(page.catalogFolder(), parent + QStringLiteral("/写真"));
    // Nothing is written yet: the old file is replaced only when the new catalog is saved.
    QVERIFY(QFileInfo::exists(parent + QStringLiteral("/写真/写真.qlry")));

    // A name without a folder of that name goes on without a question.
    QTest::mouseClick(wizard.button(QWizard::BackButton), Qt::LeftButton);
    child<QLineEdit>(page, "catalogName")->clear();
    typeText(child<QLineEdit>(page, "catalogName"), QStringLiteral("音楽"));
    ui.clear();
    pressNext(wizard);
    QVERIFY(ui.texts().empty());
    QCOMPARE(wizard.currentId(), 1);
    dialoghelp::setHandler({});
}

void NewCatalogWizardTest::categoryPageAddsRenamesAndDeletes() {
    CTestHome home;
    CMemoryProfile profile;
    CRecordingUserInterface ui;
    CNewCatalogWizard wizard(profile);
    wizard.show();
    typeText(child<QLineEdit>(wizard.dirPage(), "catalogName"), QStringLiteral("本"));
    pressNext(wizard);
    CNewCategoryPage& page = wizard.categoryPage();
    QCOMPARE(page.title(), QStringLiteral("カテゴリの設定"));
    auto* list = child<QListWidget>(page, "categoryList");
    auto* rename = child<QPushButton>(page, "renameButton");
    auto* remove = child<QPushButton>(page, "deleteButton");
    QVERIFY(!rename->isEnabled());
    QVERIFY(!remove->isEnabled());

    pressNext(wizard);
    QCOMPARE(ui.texts(), std::vector<std::string>{"カテゴリを最低一つは入力してください"});
    QCOMPARE(wizard.currentId(), 1);

    typeCategory(page, QString());  // an empty name adds nothing
    QCOMPARE(list->count(), 0);
    // Enter in the name field adds the name and stays on the page, ready for the next one.
    auto* name = child<QLineEdit>(page, "categoryName");
    typeText(name, QStringLiteral("分類1"));
    QTest::keyClick(name, Qt::Key_Return);
    QCOMPARE(wizard.currentId(), 1);
    QCOMPARE(list->count(), 1);
    QVERIFY(name->text().isEmpty());
    for (int i = 2; i <= 10; ++i) {
        typeCategory(page, QStringLiteral("分類%1").arg(i));
    }
    QCOMPARE(list->count(), 10);
    QVERIFY(child<QLineEdit>(page, "categoryName")->text().isEmpty());
    ui.clear();
    typeCategory(page, QStringLiteral("分類11"));
    QCOMPARE(ui.texts(), std::vector<std::string>{"カテゴリは１０個までです"});
    QCOMPARE(list->count(), 10);

    // Renaming at ten: the input dialog asks with the selected name; an empty text is refused.
    list->setCurrentRow(2);
    QVERIFY(rename->isEnabled() && remove->isEnabled());
    QString prompt;
    whenShown<CInputDlg>([&](CInputDlg& dialog) {
        prompt = dialog.prompt();
        QCOMPARE(dialog.findChild<QLineEdit*>()->text(), QStringLiteral("分類3"));
        dialog.findChild<QLineEdit*>()->clear();
        typeText(dialog.findChild<QLineEdit*>(), QStringLiteral("著者"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(rename, Qt::LeftButton);
    QCOMPARE(prompt, QStringLiteral("カテゴリ名を入力してください"));
    QCOMPARE(list->item(2)->text(), QStringLiteral("著者"));
    QVERIFY(list->item(2)->isSelected());
    ui.clear();
    whenShown<CInputDlg>([](CInputDlg& dialog) {
        dialog.findChild<QLineEdit*>()->clear();
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(rename, Qt::LeftButton);
    QCOMPARE(ui.texts(), std::vector<std::string>{"空欄には出来ません"});
    QCOMPARE(list->item(2)->text(), QStringLiteral("著者"));

    // Deleting asks first; the entry at the same place, or the last one, is selected next.
    ui.clear();
    ui.scriptAnswers({false});
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(ui.texts(), std::vector<std::string>{"著者を削除しますか？"});
    QCOMPARE(list->count(), 10);
    ui.scriptAnswers({true});
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(list->count(), 9);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("分類4"));
    list->setCurrentRow(8);
    ui.scriptAnswers({true});
    QTest::mouseClick(remove, Qt::LeftButton);
    QCOMPARE(list->currentItem()->text(), QStringLiteral("分類9"));
    QVERIFY(list->currentItem()->isSelected());

    // Forward, back and forward again collects each category once.
    const QStringList expected{"分類1", "分類2", "分類4", "分類5", "分類6", "分類7", "分類8", "分類9"};
    pressNext(wizard);
    QCOMPARE(wizard.currentId(), 2);
    QTest::mouseClick(wizard.button(QWizard::BackButton), Qt::LeftButton);
    pressNext(wizard);
    QCOMPARE(wizard.categoryNames(), expected);
}

void NewCatalogWizardTest::finishingHandsBackTheChoice() {
    CTestHome home;
    CMemoryProfile profile;
    CRecordingUserInterface ui;
    CNewCatalogWizard wizard(profile);
    wizard.show();
    typeText(child<QLineEdit>(wizard.dirPage(), "catalogName"), QStringLiteral("映画"));
    pressNext(wizard);
    typeCategory(wizard.categoryPage(), QStringLiteral("監督"));
    typeCategory(wizard.categoryPage(), QStringLiteral("年"));
    pressNext(wizard);
    QCOMPARE(wizard.currentPage()->title(), QStringLiteral("完了"));
    QAbstractButton* finish = wizard.button(QWizard::FinishButton);
    QVERIFY(finish->isVisible());
    QCOMPARE(finish->text(), QStringLiteral("完了"));
    const QList<QLabel*> lines = wizard.currentPage()->findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* label : lines) {
        texts.append(label->text());
    }
    QVERIFY(texts.contains(
        QStringLiteral("この後はファイルやフォルダをドラッグ＆ドロップしてカテゴリに追加してください。")));
    QTest::mouseClick(finish, Qt::LeftButton);
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QVERIFY(!wizard.openExisting());
    QCOMPARE(wizard.folder(), home.documents() + QStringLiteral("/Quillory"));
    QCOMPARE(wizard.catalogName(), QStringLiteral("映画"));
    QCOMPARE(wizard.categoryNames(), (QStringList{"監督", "年"}));
    QVERIFY(ui.texts().empty());
    QVERIFY(
        !QFileInfo::exists(home.documents() + QStringLiteral("/Quillory/映画")));  // the caller creates it
}

void NewCatalogWizardTest::openExistingCatalogEndsTheWizard() {
    CTestHome home;
    CMemoryProfile profile;
    CRecordingUserInterface ui;
    const QString parent = home.documents() + QStringLiteral("/Quillory");
    CTestHome::touch(parent + QStringLiteral("/旅行/旅行.qlry"));

    CNewCatalogWizard wizard(profile);
    wizard.show();
    // The catalog list confirmed with nothing chosen has nothing to open: the wizard stays.
    whenShown<CCatalogDlg>([](CCatalogDlg& dialog) {
        dialog.list().clearSelection();
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(child<QPushButton>(wizard.dirPage(), "openExistingButton"), Qt::LeftButton);
    QVERIFY(wizard.isVisible());
    QVERIFY(!wizard.openExisting());

    QStringList listed;
    whenShown<CCatalogDlg>([&](CCatalogDlg& dialog) {
        listed.append(dialog.list().topLevelItem(0)->text(0));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    QTest::mouseClick(child<QPushButton>(wizard.dirPage(), "openExistingButton"), Qt::LeftButton);
    QCOMPARE(listed, QStringList{QStringLiteral("旅行")});
    QVERIFY(!wizard.isVisible());
    QCOMPARE(wizard.result(), int(QDialog::Accepted));
    QVERIFY(wizard.openExisting());
    QCOMPARE(wizard.existingCatalogPath(), parent + QStringLiteral("/旅行/旅行.qlry"));
    QVERIFY(ui.texts().empty());  // the empty name is not checked when an existing catalog is opened
}

// Through the application's message boxes: the user reads the question in a box and presses its button.
void NewCatalogWizardTest::questionsAppearAsMessageBoxes() {
    CTestHome home;
    CMemoryProfile profile;
    CQtUserInterface boxes;
    CUserInterface::install(&boxes);
    const QString parent = home.documents() + QStringLiteral("/Quillory");
    QDir().mkpath(parent + QStringLiteral("/既存"));

    CNewCatalogWizard wizard(profile);
    wizard.show();
    typeText(child<QLineEdit>(wizard.dirPage(), "catalogName"), QStringLiteral("既存"));
    QString asked;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        asked = box.text();
        QTest::mouseClick(box.button(QMessageBox::No), Qt::LeftButton);
    });
    pressNext(wizard);
    QCOMPARE(asked, QStringLiteral("既存のフォルダがあります - ") + parent +
                        QStringLiteral("/既存\nこのフォルダを使いますか？"));
    QCOMPARE(wizard.currentId(), 0);
    whenShown<QMessageBox>(
        [](QMessageBox& box) { QTest::mouseClick(box.button(QMessageBox::Yes), Qt::LeftButton); });
    pressNext(wizard);
    QCOMPARE(wizard.currentId(), 1);
    CUserInterface::install(nullptr);
}

QTEST_MAIN(NewCatalogWizardTest)
#include "NewCatalogWizardTest.moc"
