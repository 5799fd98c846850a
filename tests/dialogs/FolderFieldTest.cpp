// The folder row of the dialogs on its own: the folder chooser starts at the folder in the field, a choice
// goes into the field and is announced, a cancelled chooser changes nothing; around the folder history box
// the box's own chooser and history serve.

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "CTestHome.h"
#include "DialogDriver.h"
#include "dialogs/CFolderComboBox.h"
#include "dialogs/CFolderField.h"
#include "platform/CMemoryProfile.h"

class FolderFieldTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void chosenFolderGoesIntoTheLineEdit();
    void historyBoxChoosesWithItsOwnChooser();
};

void FolderFieldTest::chosenFolderGoesIntoTheLineEdit() {
    QWidget window;
    auto* field = new CFolderField(QStringLiteral("..."), "browseButton", &window);
    field->setFolder(QStringLiteral("/data/書類"));
    window.show();
    auto* edit = child<QLineEdit>(window, "folder");
    auto* button = child<QPushButton>(window, "browseButton");
    QCOMPARE(field->field(), edit);
    QCOMPARE(field->lineEdit(), edit);
    QCOMPARE(button->text(), QStringLiteral("..."));
    QVERIFY(!button->autoDefault());
    QSignalSpy chosen(field, &CFolderField::folderChosen);

    QStringList starts;
    std::optional<QString> answer;
    field->setFolderPicker([&](QWidget*, const QString& start) {
        starts.append(start);
        return answer;
    });
    QTest::mouseClick(button, Qt::LeftButton);  // cancelled
    QCOMPARE(edit->text(), QStringLiteral("/data/書類"));
    QCOMPARE(chosen.count(), 0);

    // The chooser starts at what the user typed, and its choice replaces it.
    edit->clear();
    typeText(edit, QStringLiteral("/data/写真"));
    answer = QStringLiteral("/data/写真/2024");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(starts, (QStringList{"/data/書類", "/data/写真"}));
    QCOMPARE(edit->text(), QStringLiteral("/data/写真/2024"));
    QCOMPARE(field->folder(), QStringLiteral("/data/写真/2024"));
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("/data/写真/2024"));
}

void FolderFieldTest::historyBoxChoosesWithItsOwnChooser() {
    CTestHome home;
    CMemoryProfile profile;
    profile.writeString("Folder", "Catalog00", "/data/recent");
    profile.writeString("Folder", "Catalog01", "/data/older");
    QWidget window;
    auto* box = new CFolderComboBox(profile, QStringLiteral("Folder"), QStringLiteral("Catalog"));
    auto* field = new CFolderField(box, QStringLiteral("変更(&R)..."), "browseButton", &window);
    QCOMPARE(box->parentWidget(), field);
    QCOMPARE(field->field(), box);
    QVERIFY(field->lineEdit() == nullptr);
    field->setFolder(QStringLiteral("/data/older"));
    box->load();
    window.show();
    QCOMPARE(box->currentText(), QStringLiteral("/data/older"));
    QSignalSpy chosen(field, &CFolderField::folderChosen);

    // A picker set on the row is the box's; a cancelled choice changes nothing.
    QString start;
    std::optional<QString> answer;
    field->setFolderPicker([&](QWidget*, const QString& from) {
        start = from;
        return answer;
    });
    QTest::mouseClick(child<QPushButton>(window, "browseButton"), Qt::LeftButton);
    QCOMPARE(start, QStringLiteral("/data/older"));
    QCOMPARE(box->count(), 2);
    QCOMPARE(chosen.count(), 0);

    answer = QStringLiteral("/data/新しい");
    QTest::mouseClick(child<QPushButton>(window, "browseButton"), Qt::LeftButton);
    QCOMPARE(box->currentText(), QStringLiteral("/data/新しい"));
    QCOMPARE(box->itemText(1), QStringLiteral("/data/recent"));
    QCOMPARE(box->count(), 3);
    QCOMPARE(field->folder(), QStringLiteral("/data/新しい"));
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("/data/新しい"));
}

QTEST_MAIN(FolderFieldTest)
#include "FolderFieldTest.moc"
