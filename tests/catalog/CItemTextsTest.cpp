#include <gtest/gtest.h>

#include "catalog/CFileCatalog.h"
#include "catalog/CItemColumns.h"
#include "catalog/CItemTexts.h"
#include "search/CSortItem.h"

namespace {

CFileItem& addItem(CFileCatalog& catalog, std::string_view name, ItemKind kind, std::uint64_t size,
                   const COleDate& date) {
    CFileItem* item = catalog.addItem(catalog.newItem(false));
    item->setDisplayName(name);
    item->setKind(kind);
    item->setSize(size);
    item->setDate(date);
    return *item;
}

}  // namespace

TEST(ItemTextsTest, ColumnsFollowTheShownFixedColumnsThenTheCategories) {
    CFileCatalog catalog;
    catalog.addCategory("ジャンル");
    catalog.addCategory("作者");
    const CItemColumns all(catalog);
    EXPECT_EQ(all.count(), 5);
    EXPECT_EQ(all.fixedCount(), 3);
    EXPECT_EQ(all.kindAt(0), ItemColumn::Name);
    EXPECT_EQ(all.kindAt(2), ItemColumn::Size);
    EXPECT_EQ(all.kindAt(4), ItemColumn::Category);
    EXPECT_EQ(all.categoryAt(4), 1);
    EXPECT_EQ(all.kindAt(5), ItemColumn::Count);
    EXPECT_EQ(all.kindAt(-1), ItemColumn::Count);

    // Date hidden: size moves up, the categories follow it.
    catalog.setShowDate(false);
    const CItemColumns noDate(catalog);
    EXPECT_EQ(noDate.count(), 4);
    EXPECT_EQ(noDate.kindAt(1), ItemColumn::Size);
    EXPECT_EQ(noDate.columnOf(ItemColumn::Date), -1);
    EXPECT_EQ(noDate.columnOf(ItemColumn::Size), 1);
    EXPECT_EQ(noDate.columnOfCategory(0), 2);
    EXPECT_EQ(noDate.sortKeyAt(1), CSortItem::kSize);
    EXPECT_EQ(noDate.sortKeyAt(3), 1);

    // Every fixed column hidden: the first column is the first category, and its heading sorts by it.
    catalog.setShowName(false);
    catalog.setShowSize(false);
    const CItemColumns none(catalog);
    EXPECT_EQ(none.fixedCount(), 0);
    EXPECT_EQ(none.categoryAt(0), 0);
    EXPECT_EQ(none.sortKeyAt(0), 0);
    EXPECT_EQ(none.sortKeyAt(2), std::nullopt);
}

TEST(ItemTextsTest, CellsShowWhatTheGridShows) {
    CFileCatalog catalog;
    catalog.addCategory("ジャンル");
    const COleDate date = COleDate::fromFields({2024, 3, 5, 14, 7, 9});
    CFileItem& file = addItem(catalog, "report.txt", ItemKind::File, 1234567, date);
    file.setValueString(0, "仕事,,月次,山田");
    CFileItem& folder = addItem(catalog, "写真", ItemKind::Folder, 4096, date);
    CFileItem& url = addItem(catalog, "Example", ItemKind::Url, 0, date);
    const CItemColumns columns(catalog);

    EXPECT_EQ(CItemTexts::cell(file, columns, 0), "report.txt");
    EXPECT_EQ(CItemTexts::cell(file, columns, 1), "2024/03/05 14:07");
    EXPECT_EQ(CItemTexts::cell(file, columns, 2), "1,234,567");
    EXPECT_EQ(CItemTexts::cell(file, columns, 3), "仕事,,月次,山田");
    EXPECT_EQ(CItemTexts::cell(file, columns, 4), "");
    EXPECT_EQ(CItemTexts::cell(folder, columns, 1), "2024/03/05 14:07");
    EXPECT_EQ(CItemTexts::cell(folder, columns, 2), "フォルダ");
    EXPECT_EQ(CItemTexts::cell(url, columns, 1), "URL");
    EXPECT_EQ(CItemTexts::cell(url, columns, 2), "URL");
    file.setSize(999);
    EXPECT_EQ(CItemTexts::cell(file, columns, 2), "999");
    file.setSize(0);
    EXPECT_EQ(CItemTexts::cell(file, columns, 2), "0");

    // A file never found keeps date 0 and size 0 in the catalog; the grid shows neither.
    CFileItem& missing = addItem(catalog, "どこか.txt", ItemKind::File, 0, COleDate(0.0, COleDate::Status::Valid));
    EXPECT_EQ(CItemTexts::cell(missing, columns, 0), "どこか.txt");
    EXPECT_EQ(CItemTexts::cell(missing, columns, 1), "");
    EXPECT_EQ(CItemTexts::cell(missing, columns, 2), "");
    EXPECT_EQ(missing.date().value(), 0.0);
}

TEST(ItemTextsTest, DatesOutsideTheYearsAnItemDateHoldsAreEmpty) {
    EXPECT_EQ(CItemTexts::date(COleDate::fromFields({100, 1, 1, 0, 0, 0}), DateStyle::Export),
              "0100-01-01 00:00:00");
    EXPECT_EQ(CItemTexts::date(COleDate::fromFields({9999, 12, 31, 23, 59, 59}), DateStyle::Grid),
              "9999/12/31 23:59");
    // One day past 9999-12-31 and one day before 0100-01-01, as a file could hold them.
    const double last = COleDate::fromFields({9999, 12, 31, 0, 0, 0}).value();
    EXPECT_EQ(CItemTexts::date(COleDate(last + 1, COleDate::Status::Valid), DateStyle::Export), "");
    const double first = COleDate::fromFields({100, 1, 1, 0, 0, 0}).value();
    EXPECT_EQ(CItemTexts::date(COleDate(first - 1, COleDate::Status::Valid), DateStyle::Grid), "");
    EXPECT_EQ(CItemTexts::date(COleDate::invalid(), DateStyle::Grid), "");
    std::string out = "x";
    CItemTexts::appendDate(out, COleDate::fromFields({2020, 2, 29, 8, 0, 1}), DateStyle::Export);
    EXPECT_EQ(out, "x2020-02-29 08:00:01");
}
