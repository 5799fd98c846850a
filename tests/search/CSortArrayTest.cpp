#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "search/CSortArray.h"
#include "search/CSortKeyCache.h"

namespace {

using Strings = std::vector<std::string>;

struct Row {
    Row(std::string name, std::string memo, double date = 0, std::uint64_t size = 0,
        std::string path = "/f/x", std::string values = "")
        : name(std::move(name)),
          memo(std::move(memo)),
          date(date),
          size(size),
          path(std::move(path)),
          values(std::move(values)) {}
    std::string name;
    std::string memo;  // never compared: tells equal items apart
    double date;
    std::uint64_t size;
    std::string path;
    std::string values;
};

std::vector<std::unique_ptr<CFileItem>> makeItems(const std::vector<Row>& rows) {
    std::vector<std::unique_ptr<CFileItem>> items;
    for (const Row& row : rows) {
        auto item = std::make_unique<CFileItem>();
        item->resetSlots(1);
        item->setDisplayName(row.name);
        item->setMemo(row.memo);
        item->setDate(COleDate(row.date, COleDate::Status::Valid));
        item->setSize(row.size);
        item->setStoredPath(row.path);
        item->setValueString(0, row.values);
        items.push_back(std::move(item));
    }
    return items;
}

Strings sortedMemos(const CSortArray& keys, const std::vector<std::unique_ptr<CFileItem>>& items) {
    std::vector<CFileItem*> list;
    for (const auto& item : items) {
        list.push_back(item.get());
    }
    keys.sortItems(list);
    Strings memos;
    for (const CFileItem* item : list) {
        memos.emplace_back(item->memo());
    }
    return memos;
}

// The heap sort as its steps are written, over positions 1..n, with nothing but the keys' compare.
std::vector<CFileItem*> referenceHeapSort(const CSortArray& keys, std::vector<CFileItem*> items) {
    const std::size_t n = items.size();
    auto at = [&](std::size_t p) -> CFileItem*& { return items[p - 1]; };
    auto siftDown = [&](CFileItem* x, std::size_t p, std::size_t m) {
        for (std::size_t j = 2 * p; j <= m; j *= 2) {
            if (j < m && keys.compare(*at(j), *at(j + 1)) < 0) {
                ++j;
            }
            if (keys.compare(*x, *at(j)) >= 0) {
                break;
            }
            at(p) = at(j);
            p = j;
        }
        at(p) = x;
    };
    for (std::size_t i = n / 2; i >= 1; --i) {
        siftDown(at(i), i, n);
    }
    for (std::size_t m = n; m > 1; --m) {
        CFileItem* saved = at(m);
        at(m) = at(1);
        siftDown(saved, 1, m - 1);
    }
    return items;
}

// Sorts `list` by the keys through the cache, and expects the heap sort of the keys' compare.
void expectHeapSortOrder(const std::vector<CSortItem>& keyList, const std::vector<CFileItem*>& list,
                         CSortKeyCache& cache, const std::string& context = {}) {
    CSortArray keys;
    keys.removeAll();
    for (const CSortItem& key : keyList) {
        keys.append(key);
    }
    std::vector<CFileItem*> sorted = list;
    keys.sortItems(sorted, cache);
    EXPECT_EQ(sorted, referenceHeapSort(keys, list)) << context;
}

}  // namespace

TEST(SortArrayTest, HeapSortGivesItsOwnOrderToEqualItems) {
    CSortArray keys;
    // Five equal items: every sift stops at once, so each extraction puts the saved last item on top.
    // [a b c d e] -> [e b c d | a] -> [d b c | e a] -> [c b | d e a] -> [b | c d e a].
    auto equal = makeItems({{"n", "a"}, {"n", "b"}, {"n", "c"}, {"n", "d"}, {"n", "e"}});
    EXPECT_EQ(sortedMemos(keys, equal), (Strings{"b", "c", "d", "e", "a"}));

    // Three distinct names with ties: "x" twice, "y" twice, "w" once, in this order.
    // Build: i=2 sifts memo 2 ("y") against child 4 ("y" + 1): equal, stays; i=1 sifts "x"(1): children
    // "y"(2) and "w"(3): larger is 2, x < y, so 2 moves up; then child 4 "y"(4) and 5 "x"(5): 4, x < y,
    // moves. Heap [y2 y4 w3 x1 x5]; the extractions give [y4 x5 w3 x1 | y2], [x1 x5 w3 | y4 y2], [x5 w3 | x1
    // y4 y2] and [w3 x5 x1 y4 y2].
    auto mixed = makeItems({{"x", "1"}, {"y", "2"}, {"w", "3"}, {"y", "4"}, {"x", "5"}});
    EXPECT_EQ(sortedMemos(keys, mixed), (Strings{"3", "5", "1", "4", "2"}));

    // Descending by name, worked the same way: heap [w3 x5 x1 y4 y2], result [y2 y4 x1 x5 w3].
    keys.setPrimary(CSortItem::kName, false);
    EXPECT_EQ(sortedMemos(keys, mixed), (Strings{"2", "4", "1", "5", "3"}));
}

TEST(SortArrayTest, KeysCompareNameDateSizeExtensionFolderAndCategoryTexts) {
    CSortArray keys;
    // Equal names fall back to the date, then the size.
    auto items = makeItems({{"same", "late", 2.0, 1},
                            {"same", "big", 1.0, 1ULL << 32},
                            {"same", "small", 1.0, 1},
                            {"Alpha", "first", 9.0, 9}});
    EXPECT_EQ(sortedMemos(keys, items), (Strings{"first", "small", "big", "late"}));
    // 4 GiB against 1 byte: sizes compare as numbers, not by their low 32 bits.
    keys.setPrimary(CSortItem::kSize, false);
    EXPECT_EQ(sortedMemos(keys, items).front(), "big");

    // Dates less than a second apart are equal.
    CSortArray byDate;
    byDate.removeAll();
    byDate.add(CSortItem::kDate);
    auto close = makeItems({{"a", "1", 1.0 + 0.4 / 86400}, {"b", "2", 1.0}});
    EXPECT_EQ(byDate.compare(*close[0], *close[1]), 0);
    auto apart = makeItems({{"a", "1", 1.0 + 1.5 / 86400}, {"b", "2", 1.0}});
    EXPECT_GT(byDate.compare(*apart[0], *apart[1]), 0);

    // An item with the values b and a sorts as "a,b", before an item whose only value is b.
    CSortArray byCategory;
    byCategory.removeAll();
    byCategory.add(0);
    auto tagged = makeItems({{"1", "only b", 0, 0, "/f/x", "b"}, {"2", "b and a", 0, 0, "/f/x", "b,a"}});
    EXPECT_EQ(sortedMemos(byCategory, tagged), (Strings{"b and a", "only b"}));

    // Extension and folder.
    CSortArray byExtension;
    byExtension.removeAll();
    byExtension.add(CSortItem::kExtension);
    byExtension.add(CSortItem::kFolder);
    auto files = makeItems({{"z.TXT", "txt in b", 0, 0, "/b/z.TXT"},
                            {"y.doc", "doc", 0, 0, "/c/y.doc"},
                            {"x.txt", "txt in a", 0, 0, "/a/x.txt"}});
    EXPECT_EQ(sortedMemos(byExtension, files), (Strings{"doc", "txt in a", "txt in b"}));
}

// Ranks kept from sort to sort give the order the keys' compare gives, ties included, also after names and
// values change between sorts.
TEST(SortArrayTest, KeptRanksSortEqualItemsAsTheHeapSortOfTheCompare) {
    std::mt19937 random(4);
    const Strings names = {"b.txt", "B.TXT", "a.doc", "ａ.doc", "c", "ｶﾅ.txt", "カナ.txt", ""};
    const Strings values = {"x", "y,x", "x,y", "", "X", "z,,q"};
    std::vector<Row> rows;
    for (int i = 0; i < 300; ++i) {
        rows.emplace_back(names[random() % names.size()], std::to_string(i), static_cast<double>(random() % 3),
                          random() % 2, "/f" + std::to_string(random() % 3) + "/x", values[random() % values.size()]);
    }
    auto items = makeItems(rows);
    std::vector<CFileItem*> list;
    for (const auto& item : items) {
        list.push_back(item.get());
    }
    CSortKeyCache cache;
    const std::vector<std::vector<CSortItem>> keyLists = {
        {CSortItem(CSortItem::kName), CSortItem(CSortItem::kDate)},
        {CSortItem(CSortItem::kName, false)},
        {CSortItem(0), CSortItem(CSortItem::kExtension, false), CSortItem(CSortItem::kSize)},
        {CSortItem(CSortItem::kFolder), CSortItem(CSortItem::kName)},
        {CSortItem(CSortItem::kDate, false), CSortItem(0, false)}};
    for (int round = 0; round < 3; ++round) {
        for (const auto& keyList : keyLists) {
            expectHeapSortOrder(keyList, list, cache, "round " + std::to_string(round));
        }
        // Names and values the cache has not seen yet.
        items[static_cast<std::size_t>(round)]->setDisplayName("new name " + std::to_string(round));
        items[static_cast<std::size_t>(round + 10)]->setValueString(0, "a,,b,new");
    }

    // A first key that tells every item apart (names, sizes), then the same with one pair equal only once
    // case is folded: the same order as the heap sort of the compare, either way.
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->setDisplayName("名前" + std::to_string(i * 7919 % 1000) + ".txt");
        items[i]->setSize(i * 104729 % 100003);
    }
    const std::vector<std::vector<CSortItem>> distinctKeyLists = {
        {CSortItem(CSortItem::kName), CSortItem(CSortItem::kDate)},
        {CSortItem(CSortItem::kName, false), CSortItem(0)},
        {CSortItem(CSortItem::kSize, false), CSortItem(CSortItem::kName)}};
    for (const bool tie : {false, true}) {
        if (tie) {
            items[5]->setDisplayName("AB");
            items[9]->setDisplayName("ab");
            items[7]->setSize(items[8]->size());
        }
        for (const auto& keyList : distinctKeyLists) {
            expectHeapSortOrder(keyList, list, cache, tie ? "with a tie" : "all distinct");
        }
    }

    // Keys that find every item equal (no names, one date) before sizes that tell the items apart, then
    // the same with one pair of equal sizes, which a category decides.
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->setDisplayName("");
        items[i]->setDate(COleDate(45000.5, COleDate::Status::Valid));
        items[i]->setSize(i * 104729 % 100003);
    }
    for (const bool tie : {false, true}) {
        if (tie) {
            items[7]->setSize(items[8]->size());
        }
        expectHeapSortOrder({CSortItem(CSortItem::kName), CSortItem(CSortItem::kDate),
                             CSortItem(CSortItem::kSize, false), CSortItem(0, false)},
                            list, cache, tie ? "with a tie" : "all distinct");
    }
}

// Items that tie on the first keys and are told apart by several category keys, as in a catalog whose items
// have no names: the order is the heap sort's of the compare, ties and descending keys included, on a first
// sort and after edits bring a few value strings the kept ranks have not seen.
TEST(SortArrayTest, SeveralCategoryKeysSortAsTheHeapSortOfTheCompare) {
    std::mt19937 random(11);
    const Strings pool = {"a", "A", "b", "ｂ", "a,,b", "c,,", "値", "ち", "チ", "z", ""};
    const auto valueString = [&]() {
        std::string text;
        const int count = static_cast<int>(random() % 3);
        for (int v = 0; v <= count; ++v) {
            text += (v > 0 ? "," : "") + pool[random() % pool.size()] + std::to_string(random() % 4);
        }
        return random() % 8 == 0 ? std::string() : text;
    };
    std::vector<std::unique_ptr<CFileItem>> items;
    for (int i = 0; i < 2000; ++i) {
        auto item = std::make_unique<CFileItem>();
        item->resetSlots(3);
        item->setMemo(std::to_string(i));
        item->setStoredPath(i % 3 == 0 ? "/a/x" : "/b/y");
        item->setSize(static_cast<std::uint64_t>(i % 2));
        for (int c = 0; c < 3; ++c) {
            item->setValueString(c, valueString());
        }
        items.push_back(std::move(item));
    }
    std::vector<CFileItem*> list;
    for (const auto& item : items) {
        list.push_back(item.get());
    }
    CSortKeyCache cache;
    const std::vector<std::vector<CSortItem>> keyLists = {
        {CSortItem(CSortItem::kName), CSortItem(CSortItem::kDate), CSortItem(0), CSortItem(1), CSortItem(2)},
        {CSortItem(CSortItem::kFolder), CSortItem(1, false), CSortItem(0), CSortItem(CSortItem::kSize, false)},
        {CSortItem(2, false), CSortItem(0, false)},
        {CSortItem(0)}};
    for (int round = 0; round < 4; ++round) {
        for (const auto& keyList : keyLists) {
            expectHeapSortOrder(keyList, list, cache, "round " + std::to_string(round));
        }
        // A few edits (value strings the ranks have not seen, some of them another item's values in another
        // order, which sort equal to it), then, in the third round, many at once.
        const int edits = round == 2 ? 1500 : 6;
        for (int e = 0; e < edits; ++e) {
            const int c = static_cast<int>(random() % 3);
            Strings values = CFileItem::splitValues(items[random() % items.size()]->valueString(c));
            std::reverse(values.begin(), values.end());
            const std::string text = e % 2 ? "new" + std::to_string(round) + "," + valueString()
                                           : CFileItem::joinValues(values);
            items[random() % items.size()]->setValueString(c, text);
        }
    }
    // A date key the earlier keys leave to decide between items whose dates differ: the compare decides.
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->setDate(COleDate(45000.0 + static_cast<double>(i % 5) * 0.7 / 86400, COleDate::Status::Valid));
    }
    expectHeapSortOrder({CSortItem(0), CSortItem(CSortItem::kDate, false), CSortItem(1)}, list, cache);
}

TEST(SortArrayTest, KeyListOperationsKeepOneKeyPerCode) {
    CSortArray keys;
    keys.add(0);
    keys.add(1);
    keys.add(2);
    keys.setPrimary(CSortItem::kDate, true);  // already second: moves to the front, the rest keep order
    Strings order;
    for (const CSortItem& key : keys.keys()) {
        order.push_back(std::to_string(key.key()));
    }
    EXPECT_EQ(order, (Strings{"-2", "-1", "-3", "-4", "-5", "0", "1", "2"}));
    // Toggling the direction twice restores it.
    keys.setPrimary(keys.primaryKey(), !keys.primaryAscending());
    keys.setPrimary(keys.primaryKey(), !keys.primaryAscending());
    EXPECT_EQ(keys.primaryKey(), CSortItem::kDate);
    EXPECT_TRUE(keys.primaryAscending());
    EXPECT_EQ(keys.count(), 8);

    keys.categoryRemoved(1);
    EXPECT_FALSE(keys.contains(2));
    EXPECT_TRUE(keys.contains(1));
    EXPECT_EQ(keys.at(6).key(), 1);
    keys.categoriesExchanged(0, 1);
    EXPECT_EQ(keys.at(5).key(), 1);
    EXPECT_EQ(keys.at(6).key(), 0);
    keys.swap(0, 1);
    EXPECT_EQ(keys.primaryKey(), CSortItem::kName);

    CSortArray empty;
    empty.removeAll();
    EXPECT_EQ(empty.primaryKey(), 0);
    EXPECT_TRUE(empty.primaryAscending());
    auto items = makeItems({{"b", "1"}, {"a", "2"}});
    EXPECT_EQ(empty.compare(*items[0], *items[1]), 0);
    keys.copyFrom(empty);
    EXPECT_EQ(keys.count(), 0);
}
