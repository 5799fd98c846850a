#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "catalog/CCatalogFolder.h"
#include "catalog/CFileCatalog.h"
#include "support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

// A whole-second modification time, `days` before now.
fs::file_time_type daysAgo(int days) {
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    return std::chrono::file_clock::from_sys(now - std::chrono::hours(24 * days));
}

COleDate dateOf(const fs::path& path) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::file_clock::to_sys(fs::last_write_time(path)).time_since_epoch());
    return COleDate::fromUnixTime(seconds.count());
}

void append(const fs::path& path, std::string_view text) {
    std::ofstream(path, std::ios::app) << text;
}

CFileItem* addFile(CFileCatalog& catalog, const std::string& path, bool useShortcuts = false) {
    CFileItem* item = catalog.addItem(catalog.newItem(false));
    item->setPath(path, catalog.catalogFolder(), useShortcuts);
    return item;
}

}  // namespace

// Whatever happens to a file between two recomputes, the next one shows what the file system says, whether
// the catalog watches the folders or reads every file.
TEST(RefreshTrackerTest, FilesChangedBehindTheCatalogShowAtTheNextRecompute) {
    for (const bool watched : {true, false}) {
        SCOPED_TRACE(watched ? "watched" : "read every time");
        CTempFolder temp;
        CFileCatalog catalog;
        catalog.setWatchFiles(watched);
        catalog.setPath(temp / "cat/cat.qlry");
        temp.makeFolder("cat");
        catalog.addCategory("A");
        CFileItem* grown = addFile(catalog, temp.write("docs/grown.txt", "12345"));
        CFileItem* deep = addFile(catalog, temp.write("docs/sub/deep.txt", "1"));
        const std::string subPath = temp / "docs/sub";
        CFileItem* folder = addFile(catalog, subPath);
        fs::last_write_time(subPath, daysAgo(3));
        catalog.recompute();
        catalog.recompute();
        ASSERT_EQ(grown->size(), 5u);
        ASSERT_EQ(folder->date(), dateOf(subPath));

        // Grown, then rewritten in place with an older date and the same size.
        append(grown->path(), "67890");
        catalog.recompute();
        EXPECT_EQ(grown->size(), 10u);
        EXPECT_EQ(grown->date(), dateOf(grown->path()));
        fs::last_write_time(grown->path(), daysAgo(10));
        catalog.recompute();
        EXPECT_EQ(grown->date(), dateOf(grown->path()));
        EXPECT_EQ(grown->size(), 10u);

        // A file made inside a folder item dates the folder.
        temp.write("docs/sub/new.txt", "n");
        catalog.recompute();
        EXPECT_EQ(folder->date(), dateOf(subPath));

        // Removed: the item keeps what was last read; back with other contents: they show.
        const std::string grownPath(grown->path());
        fs::remove(grownPath);
        catalog.recompute();
        EXPECT_EQ(grown->size(), 10u);
        temp.write("docs/grown.txt", "abc");
        catalog.recompute();
        EXPECT_EQ(grown->size(), 3u);

        // Renamed away, and another file renamed into its place.
        fs::rename(grownPath, temp / "docs/elsewhere.txt");
        temp.write("docs/other.txt", "1234567");
        catalog.recompute();
        EXPECT_EQ(grown->size(), 3u);
        fs::rename(temp / "docs/other.txt", grownPath);
        catalog.recompute();
        EXPECT_EQ(grown->size(), 7u);

        // A folder higher up renamed, and a new tree made under the old name.
        fs::rename(temp / "docs", temp / "old-docs");
        temp.write("docs/sub/deep.txt", "123456789");
        fs::last_write_time(temp / "docs/sub", daysAgo(20));
        catalog.recompute();
        EXPECT_EQ(deep->size(), 9u);
        EXPECT_EQ(deep->date(), dateOf(deep->path()));
        EXPECT_EQ(folder->date(), dateOf(subPath));

        // Changed through the item itself: a new path is read at once.
        grown->setPath(temp / "old-docs/elsewhere.txt", catalog.catalogFolder(), false);
        catalog.recompute();
        EXPECT_EQ(grown->size(), 3u);

        // Files whose folders do not exist yet: a tree made step by step, one renamed into place in one go,
        // and one reached through a new link to a folder.
        CFileItem* unborn = addFile(catalog, temp / "later/a/b/unborn.txt");
        CFileItem* moved = addFile(catalog, temp / "moved/x/moved.txt");
        CFileItem* linked = addFile(catalog, temp / "linked/y/linked.txt");
        catalog.recompute();
        catalog.recompute();
        ASSERT_EQ(unborn->size(), 0u);
        temp.makeFolder("later/a");
        catalog.recompute();
        temp.write("later/a/b/unborn.txt", "12");
        temp.write("staging/x/moved.txt", "1234");
        fs::rename(temp / "staging", temp / "moved");
        temp.write("elsewhere/y/linked.txt", "123456");
        fs::create_directory_symlink(temp / "elsewhere", temp / "linked");
        catalog.recompute();
        EXPECT_EQ(unborn->size(), 2u);
        EXPECT_EQ(moved->size(), 4u);
        EXPECT_EQ(linked->size(), 6u);
    }
}

// A lost shortcut target is searched for once; it stays lost, even when a search would now find it, until
// the file comes back to its place or the refresh command forgets what was lost.
TEST(RefreshTrackerTest, LostShortcutTargetIsSearchedForOnceUntilRefreshOrReturn) {
    CTempFolder temp;
    CFileCatalog catalog;
    ASSERT_FALSE(CCatalogFolder(catalog).setLocation(temp.path(), "cat"));
    catalog.setUseShortcuts(true);
    catalog.addCategory("A");
    const std::string photo = temp.write("pics/photo.jpg", "jpeg");
    CFileItem* item = addFile(catalog, photo, true);
    catalog.recompute();
    ASSERT_EQ(item->size(), 4u);

    // Renamed in its folder: the watched item follows it.
    fs::rename(photo, temp / "pics/renamed.jpg");
    catalog.recompute();
    EXPECT_EQ(item->path(), temp / "pics/renamed.jpg");

    // Gone: lost. Put where a search would find it by name, it stays lost.
    const std::string parked = temp / "parked.jpg";
    fs::rename(temp / "pics/renamed.jpg", parked);
    catalog.recompute();
    EXPECT_EQ(item->path(), temp / "pics/renamed.jpg");
    temp.makeFolder("pics/later");
    fs::rename(parked, temp / "pics/later/renamed.jpg");
    catalog.recompute();
    catalog.recompute();
    EXPECT_EQ(item->path(), temp / "pics/renamed.jpg");

    // The refresh command searches again.
    catalog.forgetFileState();
    catalog.recompute();
    EXPECT_EQ(item->path(), temp / "pics/later/renamed.jpg");

    // Lost again, then back at its recorded place with new contents: found without a refresh command.
    fs::rename(temp / "pics/later/renamed.jpg", parked);
    catalog.recompute();
    EXPECT_EQ(item->path(), temp / "pics/later/renamed.jpg");
    EXPECT_EQ(item->size(), 4u);
    std::ofstream(parked, std::ios::app) << "++";
    fs::rename(parked, temp / "pics/later/renamed.jpg");
    catalog.recompute();
    EXPECT_EQ(item->size(), 6u);
}
