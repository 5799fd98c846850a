#include <gtest/gtest.h>

#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "catalog/CQuilloryUndo.h"
#include "catalog/CUndoHistory.h"
#include "support/CTempFolder.h"

#include <filesystem>

namespace {

// A catalog of `count` items; item i has the title "item i" and the value "v" in category 0.
void fill(CFileCatalog& catalog, int count) {
    catalog.addCategory("A");
    for (int i = 0; i < count; ++i) {
        auto item = catalog.newItem(false);
        item->setTitle("item " + std::to_string(i));
        item->setValueString(0, "v");
        catalog.addItem(std::move(item));
    }
}

std::string valueOf(const CFileCatalog& catalog, int i) {
    return std::string(catalog.item(i).valueString(0));
}

}  // namespace

TEST(UndoHistoryTest, UndoAndRedoWalkTheRecordedStates) {
    CFileCatalog catalog;
    fill(catalog, 3);
    catalog.setPath("/somewhere/cat/cat.qlry");
    CUndoHistory history;
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undoCatalog(catalog));

    // Change 1 and change 2, each after an undo point.
    EXPECT_EQ(history.recordCatalog(catalog), 1);
    catalog.item(0).setValueString(0, "s1");
    catalog.addCategory("B");
    EXPECT_EQ(history.recordCatalog(catalog), 2);
    catalog.item(0).setValueString(0, "s2");
    catalog.sortKeys().setPrimary(0, false);
    catalog.setPath("/elsewhere/x.qlry");
    EXPECT_TRUE(history.canUndo());
    EXPECT_FALSE(history.canRedo());

    ASSERT_TRUE(history.undoCatalog(catalog));
    EXPECT_EQ(history.count(), 3);
    EXPECT_EQ(history.position(), 1);
    EXPECT_EQ(valueOf(catalog, 0), "s1");
    EXPECT_EQ(catalog.categoryCount(), 2);
    EXPECT_EQ(catalog.sortKeys().primaryKey(), CSortItem::kName);
    EXPECT_EQ(catalog.path(), "/somewhere/cat/cat.qlry");
    EXPECT_TRUE(history.canRedo());

    ASSERT_TRUE(history.undoCatalog(catalog));
    EXPECT_EQ(history.count(), 3);
    EXPECT_EQ(history.position(), 0);
    EXPECT_EQ(valueOf(catalog, 0), "v");
    EXPECT_EQ(catalog.categoryCount(), 1);
    EXPECT_EQ(catalog.item(0).valueCount(), 1);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undoCatalog(catalog));

    ASSERT_TRUE(history.redoCatalog(catalog));
    EXPECT_EQ(valueOf(catalog, 0), "s1");
    ASSERT_TRUE(history.redoCatalog(catalog));
    EXPECT_EQ(valueOf(catalog, 0), "s2");
    EXPECT_EQ(catalog.sortKeys().primaryKey(), 0);
    EXPECT_FALSE(catalog.sortKeys().primaryAscending());
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.redoCatalog(catalog));

    // Back to the start, then a new change: the redo states are gone.
    ASSERT_TRUE(history.undoCatalog(catalog));
    ASSERT_TRUE(history.undoCatalog(catalog));
    EXPECT_EQ(history.recordCatalog(catalog), 1);
    EXPECT_EQ(history.count(), 1);
    catalog.item(2).setValueString(0, "s3");
    EXPECT_FALSE(history.canRedo());
    ASSERT_TRUE(history.undoCatalog(catalog));
    EXPECT_EQ(valueOf(catalog, 2), "v");
    // The restored items are the catalog's own: editing them leaves the stored states alone.
    catalog.item(2).setValueString(0, "edited after undo");
    ASSERT_TRUE(history.redoCatalog(catalog));
    EXPECT_EQ(valueOf(catalog, 2), "s3");
    ASSERT_TRUE(history.undoCatalog(catalog));
    EXPECT_EQ(valueOf(catalog, 2), "v");
}

TEST(UndoHistoryTest, KeepsTheLastHundredStatesOfLargeCatalogsExactly) {
    CFileCatalog catalog;
    fill(catalog, 1000);
    CUndoHistory history;
    // Each change edits one item somewhere in the catalog.
    for (int change = 0; change < 120; ++change) {
        history.recordCatalog(catalog);
        catalog.item(change * 37 % 1000).setValueString(0, "change " + std::to_string(change));
    }
    EXPECT_EQ(history.count(), 100);
    EXPECT_EQ(history.position(), 100);

    // Undoing walks the states back one change at a time, down to the state before change 20.
    for (int change = 119; change >= 20; --change) {
        ASSERT_TRUE(history.undoCatalog(catalog));
        const int edited = change * 37 % 1000;
        // The item of this change shows its value before it: the value of its previous change, or "v".
        std::string before = "v";
        for (int earlier = change - 1; earlier >= 0; --earlier) {
            if (earlier * 37 % 1000 == edited) {
                before = "change " + std::to_string(earlier);
                break;
            }
        }
        ASSERT_EQ(valueOf(catalog, edited), before) << "undo of change " << change;
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(valueOf(catalog, 19 * 37 % 1000), "change 19");
    EXPECT_EQ(catalog.itemCount(), 1000);
    EXPECT_EQ(catalog.item(999).title(), "item 999");

    // Removing and adding items between undo points.
    CUndoHistory second;
    second.recordCatalog(catalog);
    catalog.removeItem(&catalog.item(0));
    second.recordCatalog(catalog);
    catalog.addItem(catalog.newItem(false))->setTitle("new");
    ASSERT_TRUE(second.undoCatalog(catalog));
    EXPECT_EQ(catalog.itemCount(), 999);
    EXPECT_EQ(catalog.item(0).title(), "item 1");
    ASSERT_TRUE(second.undoCatalog(catalog));
    EXPECT_EQ(catalog.itemCount(), 1000);
    EXPECT_EQ(catalog.item(0).title(), "item 0");
}

TEST(UndoHistoryTest, ItemsWhoseFilesAreGoneKeepTheirLastDataAcrossUndo) {
    CTempFolder temp;
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(temp.path(), "cat"));
    catalog.addCategory("A");
    const std::string file = temp.write("song.mp3", "0123456789");
    catalog.addItem(catalog.newItem(false))->setPath(file, catalog.catalogFolder(), false);
    catalog.recompute();
    std::filesystem::remove(file);

    CUndoHistory history;
    history.recordCatalog(catalog);
    catalog.item(0).setValueString(0, "edited");
    ASSERT_TRUE(history.undoCatalog(catalog));
    catalog.recompute();
    ASSERT_EQ(catalog.displayedCount(), 1);
    EXPECT_EQ(catalog.displayedItem(0)->displayName(), "song.mp3");
    EXPECT_EQ(catalog.displayedItem(0)->size(), 10u);
    EXPECT_EQ(catalog.displayedItem(0)->extension(), "mp3");
    EXPECT_EQ(catalog.displayedItem(0)->valueString(0), "");
}
