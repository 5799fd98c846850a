#include <gtest/gtest.h>

#include <filesystem>

#include <string>
#include <thread>
#include <vector>

#include "model/CFileItem.h"
#include "model/CItemRecord.h"
#include "model/CValueInterner.h"
#include "model/CValueStrings.h"
#include "support/CTempFolder.h"

namespace {

using Strings = std::vector<std::string>;

// Every text of an item lives in its one record: edits of any of them keep the others intact, whatever the
// texts hold (nothing, NUL bytes, Japanese, more than the two-byte offsets can address).
TEST(CItemRecordTest, EditsKeepEveryOtherTextIntact) {
    CFileItem item;
    item.setValueStrings(Strings{"ロック", "", std::string("a\0b", 3), "jazz,,blues"});
    ASSERT_EQ(item.valueStrings().size(), 4u);
    EXPECT_EQ(item.valueString(2), std::string_view("a\0b", 3));
    item.setTitle("題名");
    item.setStoredPath("/home/ユーザー/file.txt");
    EXPECT_EQ(item.valueStrings().toVector(), (Strings{"ロック", "", std::string("a\0b", 3), "jazz,,blues"}));

    item.setValueString(1, "新しい値");
    item.exchangeSlots(0, 3);
    item.removeCategorySlot(2);
    item.addCategorySlot();
    EXPECT_EQ(item.valueStrings().toVector(), (Strings{"jazz,,blues", "新しい値", "ロック", ""}));
    // A text taken from the item itself survives the rebuild of its record.
    item.setValueString(3, item.valueString(0));
    item.setValueString(0, item.valueString(0).substr(0, 4));
    item.setMemo(item.path());
    EXPECT_EQ(item.valueStrings().toVector(), (Strings{"jazz", "新しい値", "ロック", "jazz,,blues"}));
    EXPECT_EQ(item.title(), "題名");
    EXPECT_EQ(item.memo(), "/home/ユーザー/file.txt");
    EXPECT_EQ(item.shortcutName(), "");

    // Texts past 64 KB in all take the wide offsets, both ways.
    const std::string longMemo(70000, 'm');
    item.setMemo(longMemo);
    EXPECT_EQ(item.memo(), longMemo);
    EXPECT_EQ(item.valueString(3), "jazz,,blues");
    EXPECT_EQ(item.path(), "/home/ユーザー/file.txt");
    item.setMemo("short");
    EXPECT_EQ(item.valueString(1), "新しい値");
    EXPECT_EQ(item.memo(), "short");

    item.resetSlots(3);
    EXPECT_EQ(item.valueStrings().toVector(), (Strings{"", "", ""}));
    EXPECT_TRUE(CFileItem().valueStrings().empty());

    // A view of the value strings keeps the record it was taken from.
    CFileItem other;
    other.setValueStrings(Strings{"a", "bc"});
    const CValueStrings before = other.valueStrings();
    other.setValueStrings(Strings{"ab", "c"});
    EXPECT_EQ(before.toVector(), (Strings{"a", "bc"}));
    EXPECT_FALSE(before == other.valueStrings());
    other.setValueStrings(Strings{"a", "bc"});
    EXPECT_EQ(before, other.valueStrings());
}

TEST(CItemRecordTest, BuilderPadsOrDropsToTheCountAndStartsAfresh) {
    auto values = [](const CItemRecord::Ptr& record) { return CValueStrings(record).toVector(); };
    CItemRecord::Builder builder;
    for (const char* field : {"link.lnk", "memo", "title", "/path"}) {
        builder.append(field);
        builder.endText();
    }
    builder.append("one");
    builder.endText();
    builder.append(std::string(5000, 'x'));  // grows its buffer past any first capacity
    builder.endText();
    builder.append("three");
    builder.endText();
    const CItemRecord::Ptr record = builder.finish(2);
    EXPECT_EQ(values(record), (Strings{"one", std::string(5000, 'x')}));
    EXPECT_EQ(record->field(CItemRecord::Field::ShortcutName), "link.lnk");
    EXPECT_EQ(record->field(CItemRecord::Field::Path), "/path");

    builder.append("値");
    builder.endText();
    const CItemRecord::Ptr few = builder.finish(3);
    EXPECT_EQ(few->field(CItemRecord::Field::ShortcutName), "値");
    EXPECT_EQ(few->field(CItemRecord::Field::Title), "");
    EXPECT_EQ(values(few), (Strings{"", "", ""}));
    EXPECT_TRUE(CValueStrings(builder.finish(0)).empty());
}

// Records packed into shared blocks outlive their builder and each other in any order, across threads; a
// record too large for a block gets memory of its own.
TEST(CItemRecordTest, PackedRecordsLiveAndDieIndependently) {
    std::vector<CItemRecord::Ptr> records;
    {
        CItemRecord::Builder builder(CItemRecord::Builder::Placement::Packed);
        for (int i = 0; i < 5000; ++i) {
            builder.append("/path/" + std::to_string(i));
            builder.endText();
            for (int field = 1; field < 4; ++field)
                builder.endText();
            builder.append(i % 1000 == 999 ? std::string(100000, 'v') : "値" + std::to_string(i));
            builder.endText();
            records.push_back(builder.finish(1));
        }
    }
    auto valueOf = [](int i) { return i % 1000 == 999 ? std::string(100000, 'v') : "値" + std::to_string(i); };
    for (std::size_t i = 0; i < records.size(); i += 2)
        records[i] = CItemRecord::Ptr();
    std::vector<CItemRecord::Ptr> shared(records.begin() + 2500, records.end());
    std::thread other([moved = std::move(shared)]() mutable { moved.clear(); });
    for (std::size_t i = 1; i < 2500; i += 2)
        records[i] = CItemRecord::Ptr();
    other.join();
    for (int i = 2501; i < 5000; i += 2) {
        ASSERT_EQ(records[i]->field(CItemRecord::Field::ShortcutName), "/path/" + std::to_string(i));
        ASSERT_EQ(records[i]->value(0), valueOf(i));
        ASSERT_EQ(records[i]->field(CItemRecord::Field::Path), "");
    }
}

// The display name is what the item was last found with: a title or path changed while the file is missing
// leaves it as it was, until the file is found again.
TEST(CItemRecordTest, DisplayNameStaysWhatTheFileWasLastFoundWith) {
    const CTempFolder temp;
    const std::string file = temp.write("曲.mp3", "x");
    CFileItem item;
    EXPECT_EQ(item.displayName(), "");
    // Not found yet: the name follows the path and the title, so that it never shows blank.
    item.setPath(temp / "gone.txt", "", false);
    EXPECT_FALSE(item.refresh("", false));
    EXPECT_EQ(item.displayName(), "gone.txt");
    EXPECT_EQ(item.extension(), "txt");
    item.setTitle("仮題");
    EXPECT_EQ(item.displayName(), "仮題");
    item.setTitle("");
    item.setPath(file, "", false);
    EXPECT_EQ(item.displayName(), "曲.mp3");
    ASSERT_TRUE(item.refresh("", false));
    EXPECT_EQ(item.displayName(), "曲.mp3");
    EXPECT_EQ(item.extension(), "mp3");

    std::filesystem::remove(file);
    item.setTitle("題名");
    item.setPath(temp / "other.txt", "", false);
    EXPECT_FALSE(item.refresh("", false));
    EXPECT_EQ(item.displayName(), "曲.mp3");
    const CFileItem copy(item);
    EXPECT_EQ(copy.displayName(), "曲.mp3");

    temp.write("other.txt", "y");
    ASSERT_TRUE(item.refresh("", false));
    EXPECT_EQ(item.displayName(), "題名");
    std::filesystem::remove(temp / "other.txt");
    item.setTitle("");
    EXPECT_FALSE(item.refresh("", false));
    EXPECT_EQ(item.displayName(), "題名");
    EXPECT_EQ(copy.displayName(), "曲.mp3");

    // Copies share the record until one of them changes.
    CFileItem shared(item);
    EXPECT_EQ(shared.record(), item.record());
    shared.setMemo("memo");
    EXPECT_NE(shared.record(), item.record());
    EXPECT_EQ(item.memo(), "");
    EXPECT_EQ(shared.path(), item.path());

    CFileItem url;
    url.setPath("https://example.org/", "", false);
    url.setTitle("Example");
    ASSERT_TRUE(url.refresh("", false));
    EXPECT_EQ(url.displayName(), "Example");
    EXPECT_EQ(url.kind(), ItemKind::Url);
}

// Values are numbered on first use; a change must number them again, and copies sharing a record must see
// the same numbers from any thread.
TEST(CItemRecordTest, ItemValueNumbersFollowEveryChange) {
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
