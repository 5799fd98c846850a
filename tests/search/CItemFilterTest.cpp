#include <gtest/gtest.h>

#include <climits>

#include "catalog/CFileCatalog.h"
#include "search/CFilterArray.h"

namespace {

using Strings = std::vector<std::string>;

COleDate dateOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return COleDate::fromFields({year, month, day, hour, minute, second});
}

std::string parsed(std::string_view text) {
    const auto date = CItemFilter::parseDate(text);
    if (!date) {
        return "fails";
    }
    const COleDate::Fields f = date->fields();
    char out[32];
    std::snprintf(out, sizeof out, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return out;
}

struct Row {
    Row(std::string name, std::uint64_t size, std::string memo, std::string values)
        : name(std::move(name)), size(size), memo(std::move(memo)), values(std::move(values)) {}
    std::string name;
    std::uint64_t size;
    std::string memo;
    std::string values;
    COleDate date;
};

// A catalog with one category; the items' names are their titles.
void fill(CFileCatalog& catalog, const std::vector<Row>& rows) {
    catalog.addCategory("Tag");
    for (const Row& row : rows) {
        CFileItem* item = catalog.addItem(catalog.newItem(false));
        item->setTitle(row.name);
        item->setDisplayName(row.name);
        item->setSize(row.size);
        item->setMemo(row.memo);
        item->setValueString(0, row.values);
        item->setDate(row.date);
        item->setStoredPath("/data/" + row.name);
    }
}

Strings shown(CFileCatalog& catalog) {
    catalog.recomputeWithoutRefresh();
    Strings names;
    for (const CFileItem* item : catalog.displayedItems()) {
        names.emplace_back(item->displayName());
    }
    return names;
}

}  // namespace

TEST(ItemFilterTest, DatesParseWithTheirCenturyRulesAndTimeForms) {
    EXPECT_EQ(parsed("2007/1/5"), "2007-01-05 00:00:00");
    EXPECT_EQ(parsed("07/1/5"), "2007-01-05 00:00:00");
    EXPECT_EQ(parsed("38/12/31"), "2038-12-31 00:00:00");
    EXPECT_EQ(parsed("70/1/1"), "1970-01-01 00:00:00");
    EXPECT_EQ(parsed("99/1/1"), "1999-01-01 00:00:00");
    EXPECT_EQ(parsed("50/1/1"), "fails");
    EXPECT_EQ(parsed("39/1/1"), "fails");
    EXPECT_EQ(parsed("1582/12/31"), "fails");
    EXPECT_EQ(parsed("1583/1/1"), "1583-01-01 00:00:00");
    EXPECT_EQ(parsed("9999/1/1"), "fails");
    EXPECT_EQ(parsed("2004/2/29"), "2004-02-29 00:00:00");
    EXPECT_EQ(parsed("1900/2/29"), "fails");
    EXPECT_EQ(parsed("2000/2/29"), "2000-02-29 00:00:00");
    EXPECT_EQ(parsed("2007/13/1"), "fails");
    EXPECT_EQ(parsed("2007/1"), "fails");
    EXPECT_EQ(parsed("2007-1-5"), "fails");
    EXPECT_EQ(parsed("2007/01/5x"), "2007-01-05 00:00:00");  // read as atoi reads numbers
    EXPECT_EQ(parsed("2007/1/5 1030"), "2007-01-05 10:30:00");
    EXPECT_EQ(parsed("2007/1/5 9"), "2007-01-05 09:00:00");
    EXPECT_EQ(parsed("2007/1/5 23:59:58"), "2007-01-05 23:59:58");
    EXPECT_EQ(parsed("2007/1/5 7:05"), "2007-01-05 07:05:00");
    EXPECT_EQ(parsed("2007/1/5 24:00"), "fails");
    EXPECT_EQ(parsed("2007/1/5 10.30"), "fails");
    EXPECT_EQ(parsed("2007/1/5 123"), "fails");
    EXPECT_EQ(parsed("2007/1/5 "), "fails");

    EXPECT_EQ(CItemFilter::parseSize("  +42kB"), 42u);
    EXPECT_EQ(CItemFilter::parseSize("-1"), 4294967295u);
    EXPECT_EQ(CItemFilter::parseSize("abc"), 0u);
}

TEST(ItemFilterTest, ConditionsMatchTheirTargetsWithTheirOperators) {
    CFileItem item;
    item.resetSlots(2);
    item.setDisplayName("Report.TXT");
    item.setStoredPath("/home/u/Report.TXT");
    item.setMemo("");
    item.setValueString(0, "Red,blue");
    item.setSize(1000);
    item.setDate(dateOf(2007, 1, 5, 10, 30));

    auto test = [&item](int target, std::string_view value, int op) {
        return CItemFilter(target, value, op).matches(item);
    };
    EXPECT_TRUE(test(CItemFilter::kTargetName, "report", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetName, "report", 2));
    EXPECT_TRUE(test(CItemFilter::kTargetName, "REPORT.txt", 1));
    EXPECT_FALSE(test(CItemFilter::kTargetName, "", 0));
    EXPECT_TRUE(test(CItemFilter::kTargetName, "", 2));
    EXPECT_FALSE(test(CItemFilter::kTargetName, "", 1));
    EXPECT_TRUE(test(CItemFilter::kTargetMemo, "", 1));  // an empty memo equals an empty text
    EXPECT_TRUE(test(CItemFilter::kTargetPath, "/HOME/", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetName, "report", 3));

    EXPECT_TRUE(test(CItemFilter::kTargetSize, "1000", 0));
    EXPECT_TRUE(test(CItemFilter::kTargetSize, "1000", 1));
    EXPECT_TRUE(test(CItemFilter::kTargetSize, "1000", 2));
    EXPECT_FALSE(test(CItemFilter::kTargetSize, "1001", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetSize, "-1", 0));
    EXPECT_TRUE(test(CItemFilter::kTargetSize, "x", 0));
    item.setSize(1ULL << 32);  // 4 GiB is at least 4294967295 bytes, whatever its low 32 bits say
    EXPECT_TRUE(test(CItemFilter::kTargetSize, "-1", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetSize, "0", 1));
    item.setSize(1000);

    EXPECT_TRUE(test(CItemFilter::kTargetDate, "2007/1/5", 1));
    EXPECT_TRUE(test(CItemFilter::kTargetDate, "2007/1/5 10:30", 1));
    EXPECT_FALSE(test(CItemFilter::kTargetDate, "2007/1/5 10:31", 1));
    EXPECT_TRUE(test(CItemFilter::kTargetDate, "2007/1/5 10:30", 0));
    EXPECT_TRUE(test(CItemFilter::kTargetDate, "2007/1/6", 2));
    EXPECT_FALSE(test(CItemFilter::kTargetDate, "2007/1/6", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetDate, "50/1/1", 2));  // no date, no match

    EXPECT_TRUE(test(CItemFilter::kTargetFirstCategory, "RE", 0));
    EXPECT_FALSE(test(CItemFilter::kTargetFirstCategory, "red", 1));  // equality is exact
    EXPECT_TRUE(test(CItemFilter::kTargetFirstCategory, "Red", 1));
    EXPECT_TRUE(test(CItemFilter::kTargetFirstCategory, "green", 2));
    EXPECT_FALSE(test(CItemFilter::kTargetFirstCategory + 1, "", 1));  // no value, nothing to compare
    EXPECT_TRUE(test(CItemFilter::kTargetFirstCategory + 1, "x", 2));

    // A text-file condition on a file that is not in the text-file list, or on a URL, touches nothing.
    item.setDisplayName("image.png");
    EXPECT_FALSE(test(CItemFilter::kTargetTextFile, "anything", 0));
    item.setDisplayName("missing.txt");
    item.setStoredPath("/nonexistent/missing.txt");
    EXPECT_FALSE(test(CItemFilter::kTargetTextFile, "anything", 0));

    CItemFilter size(CItemFilter::kTargetSize, "1000", 0, CItemFilter::kConjunctionAnd);
    EXPECT_EQ(size.conditionLine(false, {}), "かつ サイズ が 1000 以上");
    EXPECT_EQ(CItemFilter(7, "x", 2, 1).conditionLine(false, {"A", "B"}), "または B が x を含まない");
    EXPECT_EQ(CItemFilter(9, "x", 1).conditionLine(true, {"A", "B"}), "A が x と等しい");
    EXPECT_EQ(CItemFilter(CItemFilter::kTargetTextFile, "x", 0).operatorTexts(), Strings{"を含む"});
    EXPECT_EQ(CItemFilter(CItemFilter::kTargetDate, "", 2).operatorText(), "より古い");
    EXPECT_EQ(CItemFilter::targetFromRecord(100, 3), 5);
    EXPECT_EQ(CItemFilter::targetFromRecord(100, 2), 2);
    EXPECT_EQ(CItemFilter::targetFromRecord(101, 3), 3);
    // A damaged record's huge target must not overflow into a valid one.
    EXPECT_EQ(CItemFilter::targetFromRecord(100, INT_MAX), INT_MAX);
}

TEST(ItemFilterTest, ConditionsApplyLeftToRightWithoutPrecedence) {
    CFileCatalog catalog;
    fill(catalog, {{"a", 10, "", "x"}, {"b", 20, "", "y"}, {"c", 30, "", "x,y"}, {"d", 40, "m", ""}});
    catalog.filters().append(CItemFilter(CItemFilter::kTargetSize, "30", 0));
    EXPECT_EQ(shown(catalog), (Strings{"a", "b", "c", "d"}));  // filter off

    catalog.setFilterOn(true);
    EXPECT_EQ(shown(catalog), (Strings{"c", "d"}));
    // The first condition's conjunction is ignored.
    catalog.filters().at(0).setConjunction(CItemFilter::kConjunctionOr);
    EXPECT_EQ(shown(catalog), (Strings{"c", "d"}));

    // (size >= 30 or tag = x) and tag contains y: c only. Read with precedence (and first) it would be
    // size >= 30 or (x and y), which lets d through.
    catalog.filters().append(
        CItemFilter(CItemFilter::kTargetFirstCategory, "x", 1, CItemFilter::kConjunctionOr));
    EXPECT_EQ(shown(catalog), (Strings{"a", "c", "d"}));
    catalog.filters().append(
        CItemFilter(CItemFilter::kTargetFirstCategory, "y", 0, CItemFilter::kConjunctionAnd));
    EXPECT_EQ(shown(catalog), (Strings{"c"}));
    // ... or memo = m brings d back.
    catalog.filters().append(CItemFilter(CItemFilter::kTargetMemo, "m", 1, CItemFilter::kConjunctionOr));
    EXPECT_EQ(shown(catalog), (Strings{"c", "d"}));
    EXPECT_FALSE(catalog.filters().hasContentCondition());

    // Filters narrow what the category selection lets through.
    catalog.setSelection(0, {"y"});
    EXPECT_EQ(shown(catalog), (Strings{"c"}));

    // Deleting the category deletes its conditions and leaves the others.
    catalog.addCategory("Second");
    catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory + 1, "z", 0));
    catalog.removeCategory(0);
    ASSERT_EQ(catalog.filters().count(), 3);
    EXPECT_EQ(catalog.filters().at(0).target(), CItemFilter::kTargetSize);
    EXPECT_EQ(catalog.filters().at(1).target(), CItemFilter::kTargetMemo);
    EXPECT_EQ(catalog.filters().at(2).target(), CItemFilter::kTargetFirstCategory);
    catalog.filters().swap(0, 1);
    EXPECT_EQ(catalog.filters().at(0).target(), CItemFilter::kTargetMemo);
    catalog.filters().removeAll();
    EXPECT_EQ(shown(catalog), (Strings{"a", "b", "c", "d"}));
}
