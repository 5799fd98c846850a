#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "model/CFileItem.h"
#include "model/CValueInterner.h"
#include "model/CValueStrings.h"

namespace {

using Strings = std::vector<std::string>;

TEST(CValueStringsTest, EditsKeepEveryOtherStringIntact) {
    CValueStrings strings(Strings{"ロック", "", std::string("a\0b", 3), "jazz,,blues"});
    ASSERT_EQ(strings.size(), 4u);
    EXPECT_EQ(strings[2], std::string_view("a\0b", 3));
    EXPECT_EQ(strings.toVector(), (Strings{"ロック", "", std::string("a\0b", 3), "jazz,,blues"}));

    strings.set(1, "新しい値");
    strings.swap(0, 3);
    strings.erase(2);
    strings.append("");
    EXPECT_EQ(strings.toVector(), (Strings{"jazz,,blues", "新しい値", "ロック", ""}));

    // A text taken from the strings themselves survives the rebuild of their block.
    strings.set(3, strings[0]);
    strings.set(0, strings[0].substr(0, 4));
    EXPECT_EQ(strings.toVector(), (Strings{"jazz", "新しい値", "ロック", "jazz,,blues"}));

    EXPECT_EQ(CValueStrings(3).toVector(), (Strings{"", "", ""}));
    EXPECT_TRUE(CValueStrings().empty());
    EXPECT_EQ(CValueStrings(Strings{"a", "bc"}), CValueStrings(Strings{"a", "bc"}));
    EXPECT_FALSE(CValueStrings(Strings{"ab", "c"}) == CValueStrings(Strings{"a", "bc"}));
}

TEST(CValueStringsTest, BuilderPadsOrDropsToTheCountAndStartsAfresh) {
    CValueStrings::Builder builder;
    builder.append("one");
    builder.endText();
    builder.append(std::string(5000, 'x'));  // grows its buffer past any first capacity
    builder.endText();
    builder.append("three");
    builder.endText();
    EXPECT_EQ(builder.finish(2).toVector(), (Strings{"one", std::string(5000, 'x')}));

    builder.append("値");
    builder.endText();
    EXPECT_EQ(builder.finish(3).toVector(), (Strings{"値", "", ""}));
    EXPECT_TRUE(builder.finish(0).empty());
}

// Values are numbered on first use; a change must number them again, and copies sharing a record must see
// the same numbers from any thread.
TEST(CValueStringsTest, ItemValueNumbersFollowEveryChange) {
    CValueInterner& interner = CValueInterner::instance();
    CFileItem item;
    item.setValueStrings({"rock,pop", "", "a,,b"});
    auto texts = [&](int i) {
        Strings out;
        for (const CValueInterner::Id id : item.valueIdsOf(i)) {
            out.push_back(interner.text(id));
        }
        return out;
    };
    EXPECT_EQ(texts(0), (Strings{"rock", "pop"}));
    EXPECT_TRUE(texts(1).empty());
    EXPECT_EQ(texts(2), Strings{"a,,b"});

    item.setValueString(1, "jazz");
    item.exchangeSlots(0, 2);
    EXPECT_EQ(texts(0), Strings{"a,,b"});
    EXPECT_EQ(texts(1), Strings{"jazz"});
    EXPECT_EQ(texts(2), (Strings{"rock", "pop"}));
    item.addCategorySlot();
    item.removeCategorySlot(0);
    // The copy shares the record, not yet numbered, and keeps it when the item changes.
    const CFileItem copy(item);
    item.setValueString(0, "blues");
    EXPECT_EQ(texts(0), Strings{"blues"});
    EXPECT_EQ(texts(1), (Strings{"rock", "pop"}));
    EXPECT_TRUE(texts(2).empty());
    EXPECT_TRUE(item.valueIdsOf(3).empty());
    std::vector<CValueInterner::Id> seen[2];
    std::thread a([&] { seen[0].assign(copy.valueIdsOf(1).begin(), copy.valueIdsOf(1).end()); });
    std::thread b([&] { seen[1].assign(copy.valueIdsOf(1).begin(), copy.valueIdsOf(1).end()); });
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    ASSERT_EQ(seen[0].size(), 2u);
    EXPECT_EQ(interner.text(seen[0][0]), "rock");
    EXPECT_EQ(copy.valueString(0), "jazz");
}

}  // namespace
