#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "catalogfile/CReleasableBytes.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"
#include "support/CToolRunner.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace {

// Bytes from hexadecimal pairs; text in double quotes is taken as ASCII.
std::string hex(std::string_view spec) {
    std::string out;
    for (std::size_t i = 0; i < spec.size();) {
        char c = spec[i];
        if (c == '"') {
            std::size_t end = spec.find('"', i + 1);
            out.append(spec.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            out.push_back(static_cast<char>(std::stoi(std::string(spec.substr(i, 2)), nullptr, 16)));
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

std::string serialize(const CFileCatalog& catalog) {
    return CCatalogFile::serialize(catalog, "/catalogs/c");
}

std::string cp932Of(const std::string& utf8) {
    return CToolRunner::run("iconv -f UTF-8 -t CP932", utf8).output;
}

// The catalog read back from its own bytes must write the same bytes again.
void expectRoundTrip(const CFileCatalog& catalog) {
    std::string bytes = serialize(catalog);
    CFileCatalog copy;
    std::optional<CArchiveError> error = CCatalogFile::parse(copy, bytes);
    ASSERT_FALSE(error.has_value()) << error->describe();
    EXPECT_EQ(serialize(copy), bytes);
}

// The header of a catalog with the default options, up to (not including) the filter count.
const std::string kHeader = hex("64000000 00000000 01000000 01000000 01000000 00000000 00000000") +
                            std::string(16, '\0') + std::string(5, '\0');

}  // namespace

TEST(CCatalogFileTest, WritesTheWorkedExampleByteForByte) {
    // As the new-catalog step makes it: the category added, the recompute (which drops the new
    // category's selection element ""), then the save.
    CFileCatalog catalog;
    catalog.addCategory("X");
    catalog.recomputeWithoutRefresh();
    std::string expected =
        kHeader + hex("0000"                                                     // filters: count 0
                      "0600"                                                     // sort keys: count 6
                      "FFFF 0100 0900 \"CSortItem\" 64000000 FFFFFFFF 01000000"  // class 1, object 2: key -1
                      "0180 64000000 FEFFFFFF 01000000"                          // object 3: key -2
                      "0180 64000000 FDFFFFFF 01000000"
                      "0180 64000000 FCFFFFFF 01000000"
                      "0180 64000000 FBFFFFFF 01000000"
                      "0180 64000000 00000000 01000000"                // object 7: key 0
                      "0100 FFFF 0100 0900 \"CCategory\""              // categories: class 8
                      "64000000 0158 FFFFFFFF FFFFFFFF 04000000 0000"  // object 9: X
                      "0000");                                         // items: count 0
    EXPECT_EQ(serialize(catalog), expected);

    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::parse(read, expected).has_value());
    ASSERT_EQ(read.categoryCount(), 1);
    EXPECT_EQ(read.categoryName(0), "X");
    EXPECT_EQ(read.category(0).flags(), 4u);
    EXPECT_EQ(read.category(0).listWidth(), -1);
    EXPECT_TRUE(read.category(0).selection().empty());
    ASSERT_EQ(read.sortKeys().count(), 6);
    EXPECT_EQ(read.sortKeys().at(5).key(), 0);
    EXPECT_EQ(serialize(read), expected);
}

TEST(CCatalogFileTest, LayoutEdgeCases) {
    // No filters and no categories: counts 0 for both, so the first class name is "CSortItem".
    CFileCatalog bare;
    std::string bytes = serialize(bare);
    EXPECT_EQ(bytes.substr(kHeader.size(), 4), hex("0000 0500"));
    EXPECT_EQ(bytes.find("CSortItem"), kHeader.size() + 10);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), hex("0000 0000"));

    // 300 items: count 2C 01, one "CFileItem" class tag, then 299 tags 0x8000 + its index (7: after the
    // sort key class and its five objects).
    CFileCatalog many;
    for (int i = 0; i < 300; ++i) {
        auto item = many.newItem(false);
        item->setStoredPath("/f" + std::to_string(i));
        many.addItem(std::move(item));
    }
    bytes = serialize(many);
    std::size_t items = bytes.find("CFileItem") - 8;
    EXPECT_EQ(bytes.substr(items, 8), hex("2C01 FFFF 0100 0900"));
    std::size_t classTags = 0;
    for (std::size_t at = bytes.find(hex("0780 64000000")); at != std::string::npos;
         at = bytes.find(hex("0780 64000000"), at + 1)) {
        ++classTags;
    }
    EXPECT_EQ(classTags, 299u);
    expectRoundTrip(many);

    // 0x8000 filter conditions (class 1, objects 2 to 0x8001) push the sort key class to index 0x8002: its
    // objects after the first are tagged in the long form 0x7FFF, 0x80000000 + index, and read back.
    CFileCatalog crowded;
    for (int i = 0; i < 0x8000; ++i)
        crowded.filters().append(CItemFilter(0, "", 0));
    bytes = serialize(crowded);
    std::size_t sortKeys = bytes.find("CSortItem") + 9;
    EXPECT_EQ(bytes.substr(sortKeys + 12, 6), hex("FF7F 02800080"));
    expectRoundTrip(crowded);

    // A title of exactly 255 bytes is written with the prefix FF FF 00.
    CFileCatalog titled;
    auto item = titled.newItem(false);
    item->setTitle(std::string(255, 't'));
    titled.addItem(std::move(item));
    bytes = serialize(titled);
    EXPECT_NE(bytes.find(hex("FFFF00") + std::string(255, 't')), std::string::npos);

    // An empty file opens as an empty catalog with the default sort keys.
    CFileCatalog empty;
    empty.addCategory("old");
    ASSERT_FALSE(CCatalogFile::parse(empty, "").has_value());
    const CTempFolder temp;
    const fs::path folder = temp.path();
    std::string emptyPath = (folder / "e.qlry").string();
    std::ofstream(emptyPath).close();
    ASSERT_FALSE(CCatalogFile::read(empty, emptyPath).has_value());
    EXPECT_EQ(empty.categoryCount(), 0);
    EXPECT_EQ(empty.itemCount(), 0);
    EXPECT_EQ(empty.sortKeys().count(), 5);
    EXPECT_EQ(empty.path(), emptyPath);
}

TEST(CCatalogFileTest, EveryFeatureSurvivesARoundTrip) {
    CRecordingUserInterface ui;
    CFileCatalog catalog;
    catalog.setReserved(7);
    catalog.setShowDate(false);
    catalog.setRelativePaths(true);
    catalog.addCategory("ジャンル");
    catalog.addCategory("café ☕");
    catalog.addCategory(std::string(0xFFFE, 'k'));
    catalog.category(0).setListWidth(120);
    catalog.category(1).setColumnWidth(333);
    catalog.category(1).setFlags(4 | 8 | 2);
    catalog.setSelection(0, {"ロック", "a,,b"});
    catalog.setSelection(2, {std::string(300, 'v')});
    catalog.filters().append(CItemFilter(CItemFilter::kTargetPath, "/music", 2, CItemFilter::kConjunctionOr));
    catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory + 1, "é", 1));
    catalog.filters().append(CItemFilter(CItemFilter::kTargetSize, "1000", 0));
    catalog.sortKeys().setPrimary(1, false);

    auto url = catalog.newItem(false);
    url->setShortcutName("https://example.org/ページ");
    url->setStoredPath("https://example.org/ページ");
    url->setTitle("😀 emoji title");
    url->setValueString(0, "ロック,a,,b");
    catalog.addItem(std::move(url));
    auto file = catalog.newItem(false);
    file->setStoredPath("/catalogs/c/sub/曲.mp3");
    file->setMemo(std::string(254, 'm'));
    file->setValueString(2, std::string(0x10000, 'z'));
    catalog.addItem(std::move(file));
    auto elsewhere = catalog.newItem(false);
    elsewhere->setStoredPath("/other/place.txt");
    catalog.addItem(std::move(elsewhere));

    std::string bytes = serialize(catalog);
    // Code page 932 text is stored as iconv's CP932 bytes; é and emoji need the UTF-16 form.
    EXPECT_NE(bytes.find(cp932Of("ジャンル")), std::string::npos);
    EXPECT_NE(bytes.find(hex("FF FEFF 06") + std::string("c\0a\0f\0\xE9\0 \0\x15\x26", 12)),
              std::string::npos);
    // Relative paths are written against the catalog folder; the catalog keeps absolute paths.
    EXPECT_NE(bytes.find(hex("0A") + "sub/" + cp932Of("曲") + ".mp3"), std::string::npos);
    EXPECT_NE(bytes.find("../../other/place.txt"), std::string::npos);
    EXPECT_EQ(catalog.item(1).path(), "/catalogs/c/sub/曲.mp3");
    // Filter records carry the mark 101.
    EXPECT_NE(bytes.find(hex("65000000 03000000 06") + "/music"), std::string::npos);

    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::parse(read, bytes).has_value());
    EXPECT_EQ(read.reserved(), 7);
    EXPECT_FALSE(read.showDate());
    EXPECT_TRUE(read.showName());
    EXPECT_TRUE(read.relativePaths());
    EXPECT_FALSE(read.useShortcuts());
    EXPECT_EQ(read.categoryNames(), catalog.categoryNames());
    EXPECT_EQ(read.category(0).listWidth(), 120);
    EXPECT_EQ(read.category(1).columnWidth(), 333);
    EXPECT_EQ(read.category(1).flags(), 14u);
    EXPECT_EQ(read.selectionOf(0), (std::vector<std::string>{"ロック", "a,,b"}));
    EXPECT_EQ(read.filters(), catalog.filters());
    EXPECT_EQ(read.sortKeys(), catalog.sortKeys());
    ASSERT_EQ(read.itemCount(), 3);
    EXPECT_EQ(read.item(0).shortcutName(), "https://example.org/ページ");
    EXPECT_EQ(read.item(0).title(), "😀 emoji title");
    EXPECT_EQ(read.item(0).valueString(0), "ロック,a,,b");
    EXPECT_EQ(read.item(1).path(), "sub/曲.mp3");
    EXPECT_EQ(read.item(1).memo(), std::string(254, 'm'));
    EXPECT_EQ(read.item(1).valueString(2), std::string(0x10000, 'z'));
    EXPECT_EQ(serialize(read), bytes);

    // With shortcuts on, paths are written as they are.
    catalog.setUseShortcuts(true);
    catalog.item(1).setShortcutName("曲.lnk");
    bytes = serialize(catalog);
    EXPECT_NE(bytes.find("/catalogs/c/sub/" + cp932Of("曲") + ".mp3"), std::string::npos);
    EXPECT_NE(bytes.find(cp932Of("曲") + ".lnk"), std::string::npos);
    expectRoundTrip(catalog);
    EXPECT_TRUE(ui.texts().empty());
}

TEST(CCatalogFileTest, FilterRecordsMarked100ShiftTheirTargets) {
    // Targets 0-2 stay, 3 and up are read 2 higher; records marked 101 are read as written.
    auto filterRecord = [](int version, int target) {
        std::string r(4, '\0');
        r[0] = static_cast<char>(version);
        std::string t(4, '\0');
        t[0] = static_cast<char>(target);
        return r + t + hex("01 \"v\" 00000000 00000000");
    };
    std::string bytes = kHeader + hex("0400 FFFF 0100 0B00 \"CItemFilter\"") + filterRecord(100, 2) +
                        hex("0180") + filterRecord(100, 3) + hex("0180") + filterRecord(100, 6) +
                        hex("0180") + filterRecord(101, 3) + hex("0000 0000 0000");
    CFileCatalog catalog;
    std::optional<CArchiveError> error = CCatalogFile::parse(catalog, bytes);
    ASSERT_FALSE(error.has_value()) << error->describe();
    ASSERT_EQ(catalog.filters().count(), 4);
    EXPECT_EQ(catalog.filters().at(0).target(), 2);
    EXPECT_EQ(catalog.filters().at(1).target(), 5);
    EXPECT_EQ(catalog.filters().at(2).target(), 8);
    EXPECT_EQ(catalog.filters().at(3).target(), 3);
    EXPECT_EQ(catalog.sortKeys().count(), 0);
    // Saved and read again, the conditions keep their targets.
    CFileCatalog again;
    ASSERT_FALSE(CCatalogFile::parse(again, serialize(catalog)).has_value());
    EXPECT_EQ(again.filters(), catalog.filters());
}

TEST(CCatalogFileTest, MalformedFilesGiveTheirKindAndOffset) {
    CFileCatalog sample;
    sample.addCategory("A");
    sample.addCategory("B");
    sample.filters().append(CItemFilter(0, "x", 0));
    auto item = sample.newItem(false);
    item->setStoredPath("/a/b.txt");
    item->setValueString(0, "v");
    sample.addItem(std::move(item));
    const std::string good = serialize(sample);

    // Every strict prefix is an error (end of file, or a count the rest cannot hold) found at or before
    // the end, and leaves the catalog cleared.
    for (std::size_t length = 1; length < good.size(); ++length) {
        CFileCatalog catalog;
        catalog.addCategory("stale");
        std::optional<CArchiveError> error =
            CCatalogFile::parse(catalog, std::string_view(good).substr(0, length));
        ASSERT_TRUE(error.has_value()) << length;
        EXPECT_TRUE(error->kind() == ArchiveErrorKind::EndOfFile ||
                    error->kind() == ArchiveErrorKind::CountTooLarge)
            << error->describe();
        EXPECT_LE(error->offset(), length);
        EXPECT_EQ(catalog.categoryCount(), 0);
    }
    // Cut inside the version of the first sort key: the error is at the start of that field.
    std::size_t sortKey = good.find("CSortItem") + 9;
    std::optional<CArchiveError> cut;
    CFileCatalog catalog;
    cut = CCatalogFile::parse(catalog, std::string_view(good).substr(0, sortKey + 2));
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(cut->kind(), ArchiveErrorKind::EndOfFile);
    EXPECT_EQ(cut->offset(), sortKey);

    struct Case {
        std::string bytes;
        ArchiveErrorKind kind;
        std::size_t offset;
    };
    std::size_t categoryTag = good.find("CCategory") - 6;
    std::string badSchema = good;
    badSchema[categoryTag + 2] = 2;
    std::string badClass = good;
    badClass[good.find("CCategory") + 1] = 'K';
    std::string outOfRange = good;
    std::size_t secondCategory = good.find(hex("64000000 0142")) - 2;  // the tag before category B
    outOfRange[secondCategory] = 0x30;
    std::string sortKeyAsCategory = good;
    sortKeyAsCategory[secondCategory] = 0x03;  // class 3 is CSortItem
    std::string reference = good;
    reference[secondCategory] = 0x02;  // object 2, the filter condition
    reference[secondCategory + 1] = 0x00;
    // A "CTagArray" where an item belongs.
    std::string tagArray = good.substr(0, good.find("CFileItem") - 6) +
                           hex("FFFF 0100 0900 \"CTagArray\" 64000000 0100 01 \"t\"");
    const Case cases[] = {
        {badSchema, ArchiveErrorKind::BadSchema, categoryTag},
        {badClass, ArchiveErrorKind::BadClass, categoryTag},
        {outOfRange, ArchiveErrorKind::BadIndex, secondCategory},
        {sortKeyAsCategory, ArchiveErrorKind::WrongElementClass, secondCategory},
        {reference, ArchiveErrorKind::WrongElementClass, secondCategory},
        {tagArray, ArchiveErrorKind::WrongElementClass, good.find("CFileItem") - 6},
        {kHeader + hex("FFFF FFFF0000"), ArchiveErrorKind::CountTooLarge, kHeader.size()},
    };
    for (const Case& c : cases) {
        CFileCatalog target;
        std::optional<CArchiveError> error = CCatalogFile::parse(target, c.bytes);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind(), c.kind) << error->describe();
        EXPECT_EQ(error->offset(), c.offset) << error->describe();
    }

    // A second reference to an object of the right class would put it into the catalog twice.
    CFileCatalog twoCategories;
    twoCategories.addCategory("A");
    twoCategories.addCategory("B");
    std::string shared = serialize(twoCategories);
    std::size_t second = shared.find(hex("64000000 0142")) - 2;
    // Sort keys: class 1 and objects 2-8; categories: class 9, object 10 (A); B becomes a reference to A.
    std::string sharedBytes = shared.substr(0, second) + hex("0A00") + shared.substr(shared.size() - 2);
    CFileCatalog target;
    std::optional<CArchiveError> error = CCatalogFile::parse(target, sharedBytes);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind(), ArchiveErrorKind::SharedObject) << error->describe();
    EXPECT_EQ(error->offset(), second);
}

TEST(CCatalogFileTest, OddButReadableRecordsAreMadeWhole) {
    // Two categories; the first item has one value string, the second three. Every item ends up with
    // exactly one value string per category. A null element is skipped.
    std::string category = hex("64000000 0141 FFFFFFFF FFFFFFFF 04000000 0000");
    std::string bytes = kHeader + hex("0000 0000 0200 FFFF 0100 0900 \"CCategory\"") + category +
                        hex("0180") + category +
                        hex("0300 FFFF 0100 0900 \"CFileItem\" 64000000 00 00 00 02\"/a\" 0100 01\"x\"") +
                        hex("0000") + hex("0480 64000000 00 00 00 02\"/b\" 0300 01\"p\" 01\"q\" 01\"r\"");
    CFileCatalog catalog;
    std::optional<CArchiveError> error = CCatalogFile::parse(catalog, bytes);
    ASSERT_FALSE(error.has_value()) << error->describe();
    ASSERT_EQ(catalog.itemCount(), 2);
    EXPECT_EQ(catalog.item(0).valueStrings().toVector(), (std::vector<std::string>{"x", ""}));
    EXPECT_EQ(catalog.item(1).valueStrings().toVector(), (std::vector<std::string>{"p", "q"}));
    EXPECT_EQ(catalog.item(1).path(), "/b");
    // Bytes after the last field are not read.
    CFileCatalog trailing;
    EXPECT_FALSE(CCatalogFile::parse(trailing, bytes + "junk").has_value());
    EXPECT_EQ(trailing.itemCount(), 2);
}

TEST(CCatalogFileTest, ReadsAndWritesFilesWithTheUsersMessages) {
    const CTempFolder temp;
    const fs::path folder = temp.path();
    std::string path = (folder / "c.qlry").string();

    CFileCatalog catalog;
    catalog.addCategory("A");
    ASSERT_FALSE(CCatalogFile::write(catalog, path).has_value());
    EXPECT_EQ(catalog.path(), path);
    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::read(read, path).has_value());
    EXPECT_EQ(read.categoryName(0), "A");
    EXPECT_EQ(read.path(), path);

    std::optional<CCatalogFileError> missing = CCatalogFile::read(read, (folder / "none.qlry").string());
    ASSERT_TRUE(missing.has_value());
    EXPECT_FALSE(missing->isFormatError());
    EXPECT_EQ(missing->userMessage(),
              (folder / "none.qlry").string() +
                  "\nこのﾌｧｲﾙが見つかりません。\nﾊﾟｽとﾌｧｲﾙ名が正しいかどうか確認してださい。");
    EXPECT_EQ(read.categoryCount(), 0);

    std::ofstream(path, std::ios::binary) << hex("64000000 01");
    std::optional<CCatalogFileError> malformed = CCatalogFile::read(read, path);
    ASSERT_TRUE(malformed.has_value());
    EXPECT_TRUE(malformed->isFormatError());
    EXPECT_EQ(malformed->userMessage(), "予期しないﾌｧｲﾙ形式です。");
    EXPECT_EQ(malformed->describe(), "end of file at byte 4");
    EXPECT_EQ(read.path(), "");
}

namespace {

// Large catalogs are converted by two threads: every item must still come back whole, in its place.
TEST(CCatalogFileTest, LargeCatalogsReadBackItemForItem) {
    constexpr int kItems = 40000;
    CFileCatalog large;
    large.addCategory("ジャンル");
    large.addCategory("Tag");
    for (int i = 0; i < kItems; ++i) {
        auto item = large.newItem(false);
        const std::string n = std::to_string(i);
        item->setStoredPath("/home/user/ファイル" + n + ".txt");
        if (i % 7 == 0)
            item->setTitle("é " + n);  // no code page 932 form: the UTF-16 string form
        if (i % 1000 == 0)
            item->setMemo(std::string(300 + i / 1000, 'm'));  // the longer length prefix
        item->setValueString(0, "値" + n + ",,x,ロック");
        item->setValueString(1, i % 2 == 0 ? "" : "tag" + n);
        large.addItem(std::move(item));
    }
    const std::string bytes = serialize(large);
    CFileCatalog read;
    std::optional<CArchiveError> error = CCatalogFile::parse(read, bytes);
    ASSERT_FALSE(error.has_value()) << error->describe();
    ASSERT_EQ(read.itemCount(), kItems);
    for (int i = 0; i < kItems; i += 997) {
        const std::string n = std::to_string(i);
        EXPECT_EQ(read.item(i).path(), "/home/user/ファイル" + n + ".txt");
        EXPECT_EQ(read.item(i).title(), i % 7 == 0 ? "é " + n : "");
        EXPECT_EQ(read.item(i).valueString(0), "値" + n + ",,x,ロック");
        EXPECT_EQ(read.item(i).valueString(1), i % 2 == 0 ? "" : "tag" + n);
    }
    EXPECT_EQ(read.item(kItems - 1).valueString(1), "tag39999");
    EXPECT_EQ(serialize(read), bytes);

    // The drill-down over the items read offers each value once.
    read.recomputeWithoutRefresh();
    EXPECT_EQ(read.category(1).values().size(), static_cast<std::size_t>(kItems / 2));

    // A fault in the last item is found at its offset, and nothing of the catalog is kept.
    const std::size_t lastValue = bytes.rfind("tag39999") - 1;
    std::string cut = bytes.substr(0, lastValue + 4);
    CFileCatalog broken;
    error = CCatalogFile::parse(broken, cut);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind(), ArchiveErrorKind::EndOfFile);
    EXPECT_EQ(error->offset(), lastValue);
    EXPECT_EQ(broken.itemCount(), 0);
}

// A file large enough to be read into memory that is given back while its items are converted, by two
// threads: every text, before and after the parts given back, reads as it was written, and saving gives the
// same bytes. A few texts are longer than a page, most are far shorter.
TEST(CCatalogFileTest, AFileReadWhileItsMemoryIsGivenBackReadsWhole) {
    const CTempFolder temp;
    const std::string path = temp / "large.qlry";
    CFileCatalog large;
    large.addCategory("ジャンル");
    large.addCategory("Tag");
    const std::string longMemo = std::string(700000, 'm') + "メモ" + std::string("\xFF\x80", 2) + "終";
    const std::string shortMemo = std::string(1500, 'm') + "メモ";
    const int kItems = 36000;
    auto memoOf = [&](int i) {
        const std::string n = std::to_string(i);
        return i % 3 == 0 ? std::string() : (i % 5000 == 1 ? longMemo : shortMemo) + n;
    };
    for (int i = 0; i < kItems; ++i) {
        auto item = large.newItem(false);
        const std::string n = std::to_string(i);
        item->setStoredPath("/home/user/ファイル" + n + ".txt");
        item->setMemo(memoOf(i));
        item->setTitle(i % 5 == 0 ? "題" + n : std::string());
        item->setValueString(0, "値" + n + ",,x,ロック");
        large.addItem(std::move(item));
    }
    ASSERT_FALSE(CCatalogFile::write(large, path).has_value());
    std::string bytes;
    ASSERT_FALSE(CCatalogFile::readFileBytes(path, &bytes).has_value());
    ASSERT_GT(bytes.size(), CReleasableBytes::kReleasableFrom);

    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::read(read, path, false).has_value());
    ASSERT_EQ(read.itemCount(), kItems);
    for (int i = 0; i < kItems; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_EQ(read.item(i).memo(), memoOf(i)) << i;
        EXPECT_EQ(read.item(i).path(), "/home/user/ファイル" + n + ".txt");
        EXPECT_EQ(read.item(i).title(), i % 5 == 0 ? "題" + n : "");
        EXPECT_EQ(read.item(i).valueString(0), "値" + n + ",,x,ロック");
        EXPECT_EQ(read.item(i).valueString(1), "");
    }
    EXPECT_EQ(CCatalogFile::serialize(read, temp.path()), bytes);
}

}  // namespace

TEST(CCatalogFileTest, DeclaredCountsAreLimitedToWhatTheProgramCanUse) {
    // Ten categories and their fifteen sort keys read; one more of either is refused at its count.
    CFileCatalog full;
    for (int i = 0; i < CFileCatalog::kMaxCategories; ++i)
        full.addCategory("c" + std::to_string(i));
    expectRoundTrip(full);

    CFileCatalog categories;
    for (int i = 0; i < CFileCatalog::kMaxCategories + 1; ++i)
        categories.appendStoredCategory(CCategory("c"));
    std::string bytes = serialize(categories);
    const std::size_t categoryCount =
        bytes.find("CCategory") - 8;  // count, new-class tag, schema, name length
    CFileCatalog read;
    std::optional<CArchiveError> error = CCatalogFile::parse(read, bytes);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->kind(), ArchiveErrorKind::OverLimit);
    EXPECT_EQ(error->offset(), categoryCount);
    EXPECT_EQ(error->detail(), "categories: 11, at most 10");
    EXPECT_EQ(read.categoryCount(), 0);

    CFileCatalog keys;
    for (int i = 0; i < 11; ++i)
        keys.sortKeys().append(CSortItem(i, true));
    error = CCatalogFile::parse(read, serialize(keys));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->describe(), "over limit at byte 51: sort keys: 16, at most 15");
}

TEST(CCatalogFileTest, FilterConditionsAreAsManyAsTheFileHolds) {
    // A thousand real conditions, as a catalog of the Windows build may hold, read back in order.
    CFileCatalog many;
    many.addCategory("ジャンル");
    for (int i = 0; i < 1000; ++i)
        many.filters().append(CItemFilter(i % 6 - 5, "値" + std::to_string(i), i % 4, i % 2));
    const std::string bytes = serialize(many);
    expectRoundTrip(many);
    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::parse(read, bytes).has_value());
    ASSERT_EQ(read.filters().count(), 1000);
    EXPECT_EQ(read.filters().at(999).valueText(), "値999");

    // 2^31 conditions declared in a few bytes: refused at the count, before anything is taken for them.
    std::string declared = bytes.substr(0, 49) + hex("FFFF 00000080") + std::string(40, '\0');
    const auto start = std::chrono::steady_clock::now();
    std::optional<CArchiveError> error = CCatalogFile::parse(read, declared);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->describe(), "count too large at byte 49: 2147483648 elements in 40 bytes");
    EXPECT_EQ(read.filters().count(), 0);
}

TEST(CCatalogFileTest, FileNamesThatAreNotUtf8RoundTripByteForByte) {
    // A Shift-JIS file name read from the file system: as code page 932 it would read back as "sjisあ.txt",
    // so it goes in the UTF-16 form with each stray byte as a lone surrogate.
    CFileCatalog catalog;
    auto item = catalog.newItem(false);
    item->setStoredPath("/files/sjis\x82\xA0.txt");
    item->setTitle("\xFF\xFE");
    catalog.addItem(std::move(item));
    std::string bytes = serialize(catalog);
    EXPECT_NE(bytes.find(hex("FF FEFF 11") +
                         hex("2F00 6600 6900 6C00 6500 7300 2F00 7300 6A00 6900 7300 82DC A0DC")),
              std::string::npos);
    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::parse(read, bytes).has_value());
    EXPECT_EQ(read.item(0).path(), "/files/sjis\x82\xA0.txt");
    EXPECT_EQ(read.item(0).title(), "\xFF\xFE");

    // Text that code page 932 already keeps (a catalog's own odd bytes, a lone lead byte) keeps its bytes.
    CFileCatalog cp932;
    auto kept = cp932.newItem(false);
    kept->setTitle(jtext::cp932ToUtf8("\x83\x65\x83\x58\x83"));
    cp932.addItem(std::move(kept));
    EXPECT_NE(serialize(cp932).find(hex("05 836583 5883")), std::string::npos);
    expectRoundTrip(cp932);
}
