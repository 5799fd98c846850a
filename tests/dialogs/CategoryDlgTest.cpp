// The category dialogs: the category list's limits and messages, its check marks, and the value dialog's
// presets.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "DialogDriver.h"
#include "catalog/CFileCatalog.h"
#include "dialogs/CCategoryEditDlg.h"
#include "dialogs/CCategoryListDlg.h"
#include "dialogs/CCategoryValueDlg.h"
#include "support/CRecordingUserInterface.h"

namespace {

void addCategories(CFileCatalog& catalog, int count) {
    for (int i = 0; i < count; ++i) {
        catalog.addCategory("C" + std::to_string(i));
    }
}

void click(QWidget& dialog, const char* name) {
    QTest::mouseClick(child<QPushButton>(dialog, name), Qt::LeftButton);
}

QStringList lines(QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts.append(list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "+" : "-"));
    }
    return texts;
}

}  // namespace

class CategoryDlgTest final : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void categoryListLimitsAndMessages();
    void valueDialogPresets();
};

void CategoryDlgTest::categoryListLimitsAndMessages() {
    CRecordingUserInterface ui(true);
    {
        // Ten categories: adding only tells the limit.
        CFileCatalog full;
        addCategories(full, 10);
        CCategoryListDlg dialog(full);
        dialog.show();
        click(dialog, "addButton");
        QCOMPARE(ui.texts().back(), std::string("カテゴリは１０個までです。変更して使ってください。"));
        QCOMPARE(full.categoryCount(), 10);
        QVERIFY(!dialog.changed());
    }

    CFileCatalog catalog;
    addCategories(catalog, 2);
    CCategoryListDlg dialog(catalog);
    dialog.show();
    auto* list = child<QListWidget>(dialog, "categories");
    QCOMPARE(lines(list), (QStringList{"C0+", "C1+"}));
    QCOMPARE(dialog.selectedLine(), 0);

    // A new category, right-aligned, is appended, shown and selected even with its check box clear.
    whenShown<CCategoryEditDlg>([](CCategoryEditDlg& edit) {
        typeText(child<QLineEdit>(edit, "name"), QStringLiteral("場所"));
        child<QComboBox>(edit, "alignment")->setCurrentIndex(2);
        clickButton(edit, QDialogButtonBox::Ok);
    });
    click(dialog, "addButton");
    QCOMPARE(lines(list), (QStringList{"C0+", "C1+", "場所+"}));
    QCOMPARE(catalog.category(2).alignment(), 2);
    QCOMPARE(dialog.selectedLine(), 2);
    QVERIFY(dialog.changed());

    // Up one, with the moved line selected.
    click(dialog, "upButton");
    QCOMPARE(lines(list), (QStringList{"C0+", "場所+", "C1+"}));
    QCOMPARE(dialog.selectedLine(), 1);

    // Hiding through the edit dialog: the last shown category is refused by the catalog.
    auto hideLine = [&](int line) {
        list->setCurrentRow(line);
        whenShown<CCategoryEditDlg>([](CCategoryEditDlg& edit) {
            QVERIFY(child<QCheckBox>(edit, "shown")->isChecked());
            child<QCheckBox>(edit, "shown")->setChecked(false);
            clickButton(edit, QDialogButtonBox::Ok);
        });
        click(dialog, "editButton");
    };
    hideLine(0);
    hideLine(2);
    QCOMPARE(lines(list), (QStringList{"C0-", "場所+", "C1-"}));
    QCOMPARE(dialog.selectedLine(), 2);
    hideLine(1);
    QCOMPARE(ui.texts().back(), std::string("エラー：最低一つのカテゴリ表示が必要です"));
    QVERIFY(catalog.category(1).isShownInPane());

    // No line checked: closing is refused; one line checked: the others are hidden, also when cancelling.
    for (int line = 0; line < list->count(); ++line) {
        list->item(line)->setCheckState(Qt::Unchecked);
    }
    dialog.reject();
    QCOMPARE(ui.texts().back(), std::string("表示カテゴリは最低一つ必要です。一つはチェックしてください"));
    QVERIFY(dialog.isVisible());
    list->item(2)->setCheckState(Qt::Checked);
    dialog.reject();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!catalog.category(0).isShownInPane());
    QVERIFY(!catalog.category(1).isShownInPane());
    QVERIFY(catalog.category(2).isShownInPane());

    // Deleting asks first (Cancel keeps the category); deleting the last line selects the new last line;
    // with no category left the dialog stays open.
    dialog.show();
    list->setCurrentRow(2);
    ui.scriptAnswers({false});
    click(dialog, "deleteButton");
    QCOMPARE(catalog.categoryCount(), 3);
    QCOMPARE(ui.texts().back(),
             std::string("C1を削除しますか？\n削除した場合、既存データも全て削除されます。復活できません。"));
    click(dialog, "deleteButton");
    QCOMPARE(catalog.categoryNames(), (std::vector<std::string>{"C0", "場所"}));
    QCOMPARE(dialog.selectedLine(), 1);
    click(dialog, "deleteButton");
    click(dialog, "deleteButton");
    QCOMPARE(catalog.categoryCount(), 0);
    dialog.accept();
    QCOMPARE(ui.texts().back(), std::string("カテゴリは最低一つ必要です。追加してください"));
    QVERIFY(dialog.isVisible());
}

void CategoryDlgTest::valueDialogPresets() {
    CFileCatalog catalog;
    addCategories(catalog, 2);
    catalog.category(0).setValues({"Jazz", "Pop", "Rock"});
    catalog.category(1).setValues({"A", "B"});

    // Preset with a value of the category: it is chosen and the new value starts as its text.
    CCategoryValueDlg dialog(catalog, 0, QStringLiteral("Pop"));
    dialog.show();
    auto* category = child<QComboBox>(dialog, "category");
    auto* oldValue = child<QComboBox>(dialog, "oldValue");
    auto* newValue = child<QLineEdit>(dialog, "newValue");
    QCOMPARE(category->currentText(), QStringLiteral("C0"));
    QCOMPARE(oldValue->currentText(), QStringLiteral("Pop"));
    QCOMPARE(newValue->text(), QStringLiteral("Pop"));
    QCOMPARE(newValue->selectedText(), QStringLiteral("Pop"));

    // Another category offers its own values.
    category->setCurrentIndex(1);
    QCOMPARE(oldValue->count(), 2);
    oldValue->setCurrentIndex(1);
    newValue->selectAll();
    typeText(newValue, QStringLiteral("ビー"));
    clickButton(dialog, QDialogButtonBox::Ok);
    QCOMPARE(dialog.category(), 1);
    QCOMPARE(dialog.oldValue(), QStringLiteral("B"));
    QCOMPARE(dialog.newValue(), QStringLiteral("ビー"));
}

QTEST_MAIN(CategoryDlgTest)
#include "CategoryDlgTest.moc"
