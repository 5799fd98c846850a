#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>
#include <unistd.h>

#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "model/CExtArray.h"
#include "platform/CMemoryProfile.h"
#include "platform/CShellLink.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

// A catalog with the given categories and items; each item is {title, value string per category}.
void fill(CFileCatalog& catalog, const Strings& categories, const std::vector<Strings>& items) {
    for (const std::string& name : categories) {
        catalog.addCategory(name);
    }
    for (const Strings& row : items) {
        auto item = catalog.newItem(false);
        item->setTitle(row[0]);
        item->setDisplayName(row[0]);
        for (std::size_t i = 1; i < row.size(); ++i) {
            item->setValueString(static_cast<int>(i - 1), row[i]);
        }
        catalog.addItem(std::move(item));
    }
}

Strings displayedTitles(const CFileCatalog& catalog) {
    Strings titles;
    for (const CFileItem* item : catalog.displayedItems()) {
        titles.emplace_back(item->title());
    }
    return titles;
}

CFileItem& itemTitled(CFileCatalog& catalog, std::string_view title) {
    for (int i = 0; i < catalog.itemCount(); ++i) {
        if (catalog.item(i).title() == title) {
            return catalog.item(i);
        }
    }
    throw std::runtime_error("no such item");
}

bool exists(const std::string& path) {
    return fs::exists(fs::symlink_status(path));
}

}  // namespace

TEST(FileItemTest, ValueStringsKeepDoubledCommasAndEditValues) {
    EXPECT_EQ(CFileItem::splitValues("a,,b,c"), (Strings{"a,,b", "c"}));
    EXPECT_EQ(CFileItem::joinValues(CFileItem::splitValues("a,,b,c")), "a,,b,c");
    EXPECT_EQ(CFileItem::splitValues("x,"), (Strings{"x", ""}));
    EXPECT_TRUE(CFileItem::splitValues("").empty());

    CFileItem item;
    item.resetSlots(2);
    Strings out{"kept"};
    EXPECT_FALSE(item.valuesOf(0, out));
    EXPECT_EQ(out, Strings{"kept"});
    EXPECT_TRUE(item.addValue(0, "b"));
    EXPECT_TRUE(item.addValue(0, "a,,z"));
    EXPECT_FALSE(item.addValue(0, "b"));
    EXPECT_EQ(item.valueString(0), "b,a,,z");
    EXPECT_TRUE(item.hasValue(0, "a,,z", false));
    EXPECT_FALSE(item.hasValue(0, "a", false));
    EXPECT_TRUE(item.hasValue(0, "A", true));
    EXPECT_EQ(item.sortedValueText(0), "a,,z,b");
    item.renameValue(0, "b", "c");
    EXPECT_EQ(item.valueString(0), "c,a,,z");
    item.renameValue(0, "absent", "x");
    EXPECT_EQ(item.valueString(0), "c,a,,z");
    item.setValueString(1, "only");
    item.exchangeSlots(0, 1);
    EXPECT_EQ(item.valueStrings().toVector(), (Strings{"only", "c,a,,z"}));
    item.removeCategorySlot(0);
    EXPECT_EQ(item.valueStrings().toVector(), Strings{"c,a,,z"});

    // A copy shares nothing the user can see change: editing it leaves the original alone.
    item.setChecked(1);
    CFileItem copy(item);
    EXPECT_EQ(copy.checked(), 0);
    copy.setValueString(0, "changed");
    copy.setTitle("copy");
    EXPECT_EQ(item.valueString(0), "c,a,,z");
    EXPECT_EQ(item.title(), "");
}

TEST(FileCatalogTest, DrillDownNarrowsFromLeftToRightAndOffersTheRemainingValues) {
    CFileCatalog catalog;
    fill(catalog, {"Genre", "Year", "Hidden"},
         {{"one", "rock,jazz", "2001", "h1"},
          {"two", "rock", "2002", "h2"},
          {"three", "pop", "2001", ""},
          {"four", "", "2003", "h1"}});
    catalog.recomputeWithoutRefresh();
    // A new category starts with the selection {""}, which no item offers: it disappears.
    EXPECT_TRUE(catalog.selectionOf(0).empty());
    EXPECT_EQ(catalog.category(0).values(), (Strings{"jazz", "pop", "rock"}));
    EXPECT_EQ(catalog.displayedCount(), 4);
    EXPECT_EQ(catalog.choiceLists()[0], "jazz\npop\nrock\n");

    catalog.setSelection(0, {"rock"});
    catalog.recomputeWithoutRefresh();
    EXPECT_EQ(displayedTitles(catalog), (Strings{"one", "two"}));
    EXPECT_EQ(catalog.category(1).values(), (Strings{"2001", "2002"}));

    catalog.setSelection(1, {"2002", "2003"});
    catalog.recomputeWithoutRefresh();
    EXPECT_EQ(displayedTitles(catalog), Strings{"two"});
    EXPECT_EQ(catalog.selectionOf(1), Strings{"2002"});  // 2003 is no longer offered

    // Selecting a value no item has any more drops it and lifts the restriction.
    itemTitled(catalog, "two").setValueString(1, "2005");
    catalog.recomputeWithoutRefresh();
    EXPECT_TRUE(catalog.selectionOf(1).empty());
    EXPECT_EQ(displayedTitles(catalog), (Strings{"one", "two"}));

    // A category hidden from the pane does not narrow.
    catalog.setSelection(2, {"h1"});
    ASSERT_TRUE(catalog.setShownInPane(2, false));
    catalog.recomputeWithoutRefresh();
    EXPECT_EQ(displayedTitles(catalog), (Strings{"one", "two"}));
    EXPECT_EQ(catalog.shownCategoryCount(), 2);
    EXPECT_EQ(catalog.shownCategory(1), 1);

    // A prefilled new item takes the selections of the shown categories.
    auto fresh = catalog.newItem(true);
    EXPECT_EQ(fresh->valueStrings().toVector(), (Strings{"rock", "", ""}));
    EXPECT_EQ(catalog.findItem(0, 1, 0, "jazz"), catalog.indexOf(&itemTitled(catalog, "one")));
    EXPECT_EQ(catalog.findItem(1, -1, 2, ""), -1);
}

TEST(FileCatalogTest, CategoriesAddRemoveAndExchangeKeepValuesSortKeysAndFilters) {
    CRecordingUserInterface ui;
    CFileCatalog catalog;
    fill(catalog, {"A", "B", "C"}, {{"x", "a1", "b1", "c1"}, {"y", "a2", "b2", "c2"}});
    EXPECT_EQ(catalog.sortKeys().count(), 8);  // five built-in keys and one per category
    catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory + 1, "b", 0));
    catalog.filters().append(CItemFilter(CItemFilter::kTargetFirstCategory + 2, "c", 0));
    catalog.filters().append(CItemFilter(CItemFilter::kTargetSize, "10", 0));

    catalog.addCategory("D");
    EXPECT_EQ(catalog.item(0).valueStrings().toVector(), (Strings{"a1", "b1", "c1", ""}));
    EXPECT_EQ(catalog.sortKeys().at(8).key(), 3);
    catalog.recomputeWithoutRefresh();
    EXPECT_TRUE(catalog.selectionOf(3).empty());

    catalog.exchangeCategories(0, 2);
    EXPECT_EQ(catalog.categoryNames(), (Strings{"C", "B", "A", "D"}));
    EXPECT_EQ(catalog.item(1).valueStrings().toVector(), (Strings{"c2", "b2", "a2", ""}));
    EXPECT_EQ(catalog.filters().at(1).target(), CItemFilter::kTargetFirstCategory + 0);
    EXPECT_EQ(catalog.sortKeys().at(5).key(), 2);
    EXPECT_EQ(catalog.sortKeys().at(7).key(), 0);

    catalog.removeCategory(1);  // B
    EXPECT_EQ(catalog.categoryNames(), (Strings{"C", "A", "D"}));
    EXPECT_EQ(catalog.item(0).valueStrings().toVector(), (Strings{"c1", "a1", ""}));
    ASSERT_EQ(catalog.filters().count(), 2);
    EXPECT_EQ(catalog.filters().at(0).target(), CItemFilter::kTargetFirstCategory + 0);
    EXPECT_EQ(catalog.filters().at(1).target(), CItemFilter::kTargetSize);
    Strings keys;
    for (const CSortItem& key : catalog.sortKeys().keys()) {
        keys.push_back(std::to_string(key.key()));
    }
    EXPECT_EQ(keys, (Strings{"-1", "-2", "-3", "-4", "-5", "1", "0", "2"}));

    catalog.renameValueEverywhere(1, "a1", "renamed");
    EXPECT_EQ(catalog.item(0).valueString(1), "renamed");
    EXPECT_EQ(catalog.item(1).valueString(1), "a2");

    // The pane always keeps one category.
    ASSERT_TRUE(catalog.setShownInPane(0, false));
    ASSERT_TRUE(catalog.setShownInPane(1, false));
    EXPECT_FALSE(catalog.setShownInPane(2, false));
    EXPECT_TRUE(catalog.category(2).isShownInPane());
    EXPECT_EQ(catalog.shownCategory(1), -1);
    EXPECT_EQ(ui.texts(),
              (Strings{"エラー：最低一つのカテゴリ表示が必要です", "エラー：カテゴリインデックス取得不可"}));
    EXPECT_EQ(catalog.gridCategoryCount(), 3);

    // Assign copies the stored state; clear resets everything.
    catalog.setReserved(7);
    catalog.setShowDate(false);
    CFileCatalog copy;
    copy.assign(catalog);
    EXPECT_EQ(copy.categoryNames(), catalog.categoryNames());
    EXPECT_EQ(copy.item(0).valueStrings(), catalog.item(0).valueStrings());
    EXPECT_EQ(copy.reserved(), 7);
    EXPECT_FALSE(copy.showDate());
    EXPECT_EQ(copy.shownFixedColumns(), 2);
    EXPECT_TRUE(copy.sortKeys() == catalog.sortKeys());
    EXPECT_TRUE(copy.filters() == catalog.filters());
    copy.item(0).setValueString(0, "only in the copy");
    EXPECT_EQ(catalog.item(0).valueString(0), "c1");
    copy.clear();
    EXPECT_EQ(copy.itemCount(), 0);
    EXPECT_EQ(copy.categoryCount(), 0);
    EXPECT_EQ(copy.sortKeys().count(), 5);
    EXPECT_TRUE(copy.showDate());
    EXPECT_EQ(copy.reserved(), 0);
}

TEST(FileCatalogTest, RefreshReadsTheFileSystemAndKeepsTheLastDataOfMissingFiles) {
    CTempFolder temp;
    CFileCatalog catalog;
    catalog.setPath(temp / "cat/cat.qlry");
    temp.makeFolder("cat");
    catalog.addCategory("A");
    const std::string file = temp.write("docs/report.final.txt", "12345");
    const std::string folder = temp.makeFolder("docs/sub");

    CFileItem* fileItem = catalog.addItem(catalog.newItem(false));
    fileItem->setPath(file, catalog.catalogFolder(), false);
    CFileItem* folderItem = catalog.addItem(catalog.newItem(false));
    folderItem->setPath(folder, catalog.catalogFolder(), false);
    CFileItem* urlItem = catalog.addItem(catalog.newItem(false));
    urlItem->setPath("https://example.com/a.html", catalog.catalogFolder(), false);
    urlItem->setTitle("Example");
    CFileItem* missing = catalog.addItem(catalog.newItem(false));
    missing->setPath(temp / "nothing/here.txt", catalog.catalogFolder(), false);
    catalog.recompute();

    EXPECT_EQ(fileItem->displayName(), "report.final.txt");
    EXPECT_EQ(fileItem->extension(), "txt");
    EXPECT_EQ(fileItem->size(), 5u);
    EXPECT_EQ(fileItem->kind(), ItemKind::File);
    EXPECT_EQ(fileItem->folder(), temp / "docs");
    // The date is the file's modification time in local time.
    const auto modified = fs::last_write_time(file);
    const std::time_t t =
        static_cast<std::time_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                     std::chrono::file_clock::to_sys(modified).time_since_epoch())
                                     .count());
    std::tm local{};
    localtime_r(&t, &local);
    const COleDate expected = COleDate::fromFields(
        {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
    EXPECT_NEAR(fileItem->date().chronologicalDays() * 86400, expected.chronologicalDays() * 86400, 1.0);

    EXPECT_EQ(folderItem->kind(), ItemKind::Folder);
    EXPECT_EQ(folderItem->extension(), "");
    EXPECT_EQ(folderItem->folder(), folder);
    EXPECT_EQ(urlItem->kind(), ItemKind::Url);
    EXPECT_EQ(urlItem->path(), "https://example.com/a.html");
    EXPECT_EQ(urlItem->displayName(), "Example");
    EXPECT_FALSE(missing->refresh(catalog.catalogFolder(), false));
    EXPECT_EQ(missing->displayName(), "here.txt");  // named after its path, never blank
    EXPECT_EQ(catalog.displayedCount(), 4);  // a missing file stays listed

    // A file written at 10:30:00.6 local time is dated 10:30:00: the date filter for 10:30 finds it.
    std::tm when{};
    when.tm_year = 2007 - 1900;
    when.tm_mon = 0;
    when.tm_mday = 5;
    when.tm_hour = 10;
    when.tm_min = 30;
    when.tm_isdst = -1;
    const auto written =
        std::chrono::system_clock::from_time_t(std::mktime(&when)) + std::chrono::milliseconds(600);
    fs::last_write_time(file, std::chrono::file_clock::from_sys(written));
    catalog.recompute();
    EXPECT_TRUE(CItemFilter(CItemFilter::kTargetDate, "2007/1/5 10:30", 1).matches(*fileItem));
    EXPECT_TRUE(CItemFilter(CItemFilter::kTargetDate, "07/1/5", 1).matches(*fileItem));
    EXPECT_FALSE(CItemFilter(CItemFilter::kTargetDate, "2007/1/5 10:31", 0).matches(*fileItem));

    // The file goes away: the item keeps what was last read.
    fs::remove(file);
    catalog.recompute();
    EXPECT_EQ(fileItem->size(), 5u);
    EXPECT_EQ(fileItem->displayName(), "report.final.txt");
}

TEST(FileCatalogTest, ShortcutsFollowMovedAndRenamedFiles) {
    CTempFolder temp;
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(temp.path(), "cat"));
    EXPECT_EQ(catalog.path(), temp / "cat/cat.qlry");
    EXPECT_EQ(catalog.catalogName(), "cat");
    EXPECT_EQ(catalog.parentFolder(), temp.path());
    catalog.setUseShortcuts(true);
    catalog.addCategory("A");
    const std::string jpg = temp.write("pics/photo.jpg", "jpeg bytes");
    const std::string png = temp.write("pics/photo.png", "png");
    CFileItem* first = catalog.addItem(catalog.newItem(false));
    first->setPath(jpg, catalog.catalogFolder(), true);
    CFileItem* second = catalog.addItem(catalog.newItem(false));
    second->setPath(png, catalog.catalogFolder(), true);
    EXPECT_EQ(first->shortcutName(), "photo.lnk");
    EXPECT_EQ(second->shortcutName(), "photo(1).lnk");
    EXPECT_TRUE(exists(temp / "cat/photo.lnk"));
    EXPECT_TRUE(exists(temp / "cat/photo(1).lnk"));
    catalog.recompute();
    EXPECT_EQ(first->size(), 10u);

    // Moved to another folder and renamed in the same folder: both items follow.
    temp.makeFolder("pics/moved");
    fs::rename(jpg, temp / "pics/moved/photo.jpg");
    fs::rename(png, temp / "pics/renamed.png");
    catalog.recompute();
    EXPECT_EQ(first->path(), temp / "pics/moved/photo.jpg");
    EXPECT_EQ(second->path(), temp / "pics/renamed.png");
    EXPECT_EQ(second->displayName(), "renamed.png");

    // A new path replaces the old shortcut.
    const std::string other = temp.write("pics/other.txt", "x");
    second->setPath(other, catalog.catalogFolder(), true);
    EXPECT_FALSE(exists(temp / "cat/photo(1).lnk"));
    EXPECT_EQ(second->shortcutName(), "other.lnk");

    // Unused shortcuts are deleted, used ones stay.
    temp.write("cat/stale.lnk", "x");
    temp.makeFolder("cat/folder.lnk");
    EXPECT_EQ(CCatalogFolder(catalog).deleteUnusedShortcuts(), 1);
    EXPECT_FALSE(exists(temp / "cat/stale.lnk"));
    EXPECT_TRUE(exists(temp / "cat/photo.lnk"));
    EXPECT_TRUE(exists(temp / "cat/folder.lnk"));

    // Removing an item deletes its shortcut.
    auto removed = catalog.removeItem(first);
    ASSERT_TRUE(removed);
    EXPECT_FALSE(exists(temp / "cat/photo.lnk"));
    EXPECT_EQ(catalog.indexOf(first), -1);
    EXPECT_FALSE(catalog.removeItem(first));

    // Switching shortcuts on gives every displayed item with a path a shortcut at the next recompute;
    // a truncated link is replaced the same way.
    CFileCatalog plain;
    ASSERT_FALSE(CCatalogFolder(plain).setLocation(temp.path(), "plain"));
    plain.addCategory("A");
    CFileItem* item = plain.addItem(plain.newItem(false));
    item->setPath(other, plain.catalogFolder(), false);
    EXPECT_EQ(item->shortcutName(), "");
    CFileItem* relative = plain.addItem(plain.newItem(false));
    relative->setStoredPath("inside.txt");  // as read from a catalog saved with relative paths
    const std::string inside = temp.write("plain/inside.txt", "in");
    plain.setUseShortcuts(true);
    plain.recompute();
    EXPECT_EQ(item->shortcutName(), "other.lnk");
    EXPECT_EQ(relative->path(), inside);
    ASSERT_TRUE(CShellLink::load(temp / "plain/inside.lnk").has_value());
    EXPECT_EQ(CShellLink::load(temp / "plain/inside.lnk")->targetPath(), inside);
    ASSERT_TRUE(exists(temp / "plain/other.lnk"));
    temp.write("plain/other.lnk", std::string("L\0\0\0", 4));
    plain.recompute();
    EXPECT_EQ(item->shortcutName(), "other(1).lnk");
    EXPECT_TRUE(CShellLink::load(temp / "plain/other(1).lnk").has_value());
    plain.recompute();
    EXPECT_EQ(item->path(), other);
    EXPECT_EQ(item->size(), 1u);
}

TEST(FileCatalogTest, ShortcutNamesNeverReachOutsideTheCatalogFolder) {
    CTempFolder temp;
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(temp.path(), "cat"));
    catalog.setUseShortcuts(true);
    const std::string secret = temp.write("secret.txt", "do not read");
    const std::string victim = temp.write("victim.lnk", "");
    ASSERT_TRUE(CShellLink::forTarget(secret).save(victim));
    const std::string own = temp.write("cat/own.txt", "mine");

    CFileItem* sneaky = catalog.addItem(catalog.newItem(false));
    sneaky->setShortcutName("../victim.lnk");
    sneaky->setStoredPath(own);
    CFileItem* absolute = catalog.addItem(catalog.newItem(false));
    absolute->setShortcutName(victim);
    CFileItem* dots = catalog.addItem(catalog.newItem(false));
    dots->setShortcutName("..");
    catalog.recompute();
    // The foreign link is not read: the item keeps its own path and gets a shortcut of its own.
    EXPECT_EQ(sneaky->path(), own);
    EXPECT_EQ(sneaky->shortcutName(), "own.lnk");
    EXPECT_NE(absolute->path(), secret);

    sneaky->setShortcutName("../victim.lnk");
    catalog.removeItem(sneaky);
    absolute->deleteShortcutFile(catalog.catalogFolder());
    dots->deleteShortcutFile(catalog.catalogFolder());
    EXPECT_TRUE(exists(victim));
    EXPECT_TRUE(exists(temp / "cat"));
    // A catalog not yet saved has no folder: no shortcut is made, read or deleted anywhere.
    CFileCatalog unsaved;
    unsaved.setUseShortcuts(true);
    const std::string name = "quillory-unsaved-" + std::to_string(::getpid());
    const std::string loose = temp.write(name + ".txt", "loose");
    CFileItem* item = unsaved.addItem(unsaved.newItem(false));
    item->setPath(loose, unsaved.catalogFolder(), true);
    unsaved.recompute();
    EXPECT_EQ(item->shortcutName(), "");
    EXPECT_FALSE(exists("/" + name + ".lnk"));
    EXPECT_EQ(item->size(), 5u);
    EXPECT_EQ(CCatalogFolder(unsaved).deleteUnusedShortcuts(), 0);

    EXPECT_FALSE(CFileItem::isPlainFileName("a/b.lnk"));
    EXPECT_FALSE(CFileItem::isPlainFileName("."));
    EXPECT_FALSE(CFileItem::isPlainFileName(""));
    EXPECT_TRUE(CFileItem::isPlainFileName("photo(1).lnk"));
}

TEST(FileCatalogTest, RelativePathsSurviveMovingTheCatalogFolderWithItsFiles) {
    CTempFolder temp;
    CRecordingUserInterface ui;
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(temp / "old", "cat"));
    catalog.addCategory("A");
    const std::string inside = temp.write("old/cat/files/inside.txt", "inside!");
    const std::string beside = temp.write("old/beside.txt", "beside");
    temp.write("old/cat/cat.qlry", "");
    CFileItem* a = catalog.addItem(catalog.newItem(false));
    a->setPath(inside, catalog.catalogFolder(), false);
    CFileItem* b = catalog.addItem(catalog.newItem(false));
    b->setPath(beside, catalog.catalogFolder(), false);
    CFileItem* url = catalog.addItem(catalog.newItem(false));
    url->setPath("http://example.com/", catalog.catalogFolder(), false);

    catalog.setRelativePaths(true);
    catalog.makePathsRelative();
    EXPECT_EQ(a->path(), "files/inside.txt");
    EXPECT_EQ(b->path(), "../beside.txt");
    EXPECT_EQ(url->path(), "http://example.com/");

    // The whole parent moves; the catalog folder moves inside it under a new name.
    fs::rename(temp / "old", temp / "new");
    catalog.setPath(temp / "new/cat/cat.qlry");
    ASSERT_FALSE(CCatalogFolder(catalog).move(temp / "new", "renamed"));
    EXPECT_EQ(catalog.path(), temp / "new/renamed/cat.qlry");
    EXPECT_TRUE(exists(temp / "new/renamed/files/inside.txt"));
    catalog.recompute();
    EXPECT_EQ(a->path(), temp / "new/renamed/files/inside.txt");
    EXPECT_EQ(a->size(), 7u);
    EXPECT_EQ(b->path(), temp / "new/beside.txt");

    // Renaming the file and copying the folder; a name already taken is refused.
    ASSERT_FALSE(CCatalogFolder(catalog).renameFile("renamed"));
    EXPECT_EQ(catalog.path(), temp / "new/renamed/renamed.qlry");
    temp.write("new/renamed/taken.qlry", "keep");
    const std::optional<CCatalogFolderError> taken = CCatalogFolder(catalog).renameFile("taken");
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->kind(), CatalogFolderErrorKind::TargetExists);
    EXPECT_EQ(taken->path(), temp / "new/renamed/taken.qlry");
    ASSERT_FALSE(CCatalogFolder(catalog).copy(temp.path(), "copy"));
    EXPECT_EQ(catalog.path(), temp / "copy/copy.qlry");
    EXPECT_TRUE(exists(temp / "copy/files/inside.txt"));
    EXPECT_TRUE(exists(temp / "new/renamed/renamed.qlry"));
    EXPECT_FALSE(CCatalogFolder(catalog).copy(temp.path(), "copy"));
    const std::optional<CCatalogFolderError> merge = CCatalogFolder(catalog).move(temp.path(), "new");
    ASSERT_TRUE(merge);  // never merges into another folder
    EXPECT_EQ(merge->kind(), CatalogFolderErrorKind::TargetExists);
    EXPECT_TRUE(merge->failed());
    EXPECT_EQ(catalog.path(), temp / "copy/copy.qlry");

    // A folder that cannot be made is reported.
    temp.write("plainfile", "x");
    const std::optional<CCatalogFolderError> blocked =
        CCatalogFolder(catalog).setLocation(temp / "plainfile", "cat");
    ASSERT_TRUE(blocked);
    EXPECT_EQ(blocked->kind(), CatalogFolderErrorKind::CreateFolder);
    EXPECT_EQ(blocked->path(), temp / "plainfile/cat");
    EXPECT_EQ(blocked->userMessage(), "フォルダが作成できませんでした");
    EXPECT_TRUE(ui.texts().empty());  // the caller tells the user
    EXPECT_EQ(catalog.path(), temp / "copy/copy.qlry");

    // A catalog folder that cannot be listed deletes nothing.
    CFileCatalog unlisted;
    unlisted.setPath(temp / "plainfile/cat.qlry");
    EXPECT_EQ(CCatalogFolder(unlisted).deleteUnusedShortcuts(), 0);
}

TEST(FileCatalogTest, MovesAndCopiesTheCatalogFolderToAnotherFileSystem) {
    struct stat shm {};
    struct stat tmp {};
    if (::stat("/dev/shm", &shm) != 0 || ::stat(fs::temp_directory_path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev || ::access("/dev/shm", W_OK) != 0) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    CTempFolder here;
    CTempFolder there("/dev/shm");
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(here.path(), "cat"));
    here.write("cat/cat.qlry", "catalog");
    here.write("cat/photo.lnk", "link");
    here.write("cat/sub/deep.txt", "deep");

    ASSERT_FALSE(CCatalogFolder(catalog).move(there.path(), ""));
    EXPECT_EQ(catalog.path(), there / "cat/cat.qlry");
    EXPECT_TRUE(exists(there / "cat/cat.qlry"));
    EXPECT_TRUE(exists(there / "cat/photo.lnk"));
    EXPECT_TRUE(exists(there / "cat/sub/deep.txt"));
    EXPECT_FALSE(exists(here / "cat"));

    ASSERT_FALSE(CCatalogFolder(catalog).copy(here.path(), "back"));
    EXPECT_EQ(catalog.path(), here / "back/back.qlry");
    EXPECT_TRUE(exists(here / "back/back.qlry"));
    EXPECT_TRUE(exists(here / "back/sub/deep.txt"));
    EXPECT_TRUE(exists(there / "cat/cat.qlry"));
}

TEST(ExtArrayTest, ListsLoadSaveAndIgnoreCase) {
    CMemoryProfile profile;
    CExtArray::loadTextFiles(profile);
    EXPECT_EQ(CExtArray::textFiles().extensions(), (Strings{"txt", "htm", "html"}));
    CExtArray list({"md", "TXT"});
    list.save(profile, "TextFile");
    EXPECT_EQ(profile.readInt("TextFile", "Count", 0), 2);
    EXPECT_EQ(profile.readString("TextFile", "Ext01", ""), "TXT");
    CExtArray::loadTextFiles(profile);
    EXPECT_TRUE(CExtArray::textFiles().contains("txt"));
    EXPECT_TRUE(CExtArray::textFiles().contains("Md"));
    EXPECT_FALSE(CExtArray::textFiles().contains("html"));
    CExtArray::textFiles() = CExtArray({"txt", "htm", "html"});
}

TEST(FileCatalogTest, ARelativePathAboveTheRootIsToldAndKept) {
    CTempFolder temp;
    CFileCatalog catalog;
    catalog.setPath(temp.path() + "/cat.qlry");
    CFileItem* item = catalog.addItem(catalog.newItem(false));
    std::string climb;
    for (std::size_t i = 0; i <= temp.path().size(); ++i) {
        climb += "../";
    }
    item->setStoredPath(climb + "x.txt");
    CRecordingUserInterface ui;
    catalog.recompute();
    ASSERT_EQ(ui.shown().size(), 1u);
    EXPECT_EQ(ui.shown()[0].text, "相対パスが誤っています");
    EXPECT_EQ(ui.shown()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(item->path(), climb + "x.txt");
}
