#include "text/PathUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TextTestHelpers.h"
#include "support/CRecordingUserInterface.h"
#include "support/CTempFolder.h"

using namespace jtext;

TEST(PathUtil, AbsoluteAndJoinedPaths) {
    EXPECT_TRUE(isAbsolutePath("/home/u/a.txt"));
    EXPECT_TRUE(isAbsolutePath("https://example.org/x"));
    EXPECT_FALSE(isAbsolutePath("../a.txt"));
    EXPECT_FALSE(isAbsolutePath("a.txt"));
    EXPECT_FALSE(isAbsolutePath(""));

    EXPECT_EQ(joinFolderAndName("/a/b", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(joinFolderAndName("/a/b/", "c.txt"), "/a/b/c.txt");
    EXPECT_EQ(joinFolderAndName("/", "c.txt"), "/c.txt");
    EXPECT_EQ(joinFolderAndName("http://example.org", "i.html"), "http://example.org/i.html");
    EXPECT_EQ(joinFolderAndName("http://example.org/", "i.html"), "http://example.org/i.html");
}

TEST(PathUtil, RelativePathsFromTheCatalogFile) {
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/a/c/x.txt"), "../c/x.txt");
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/a/b/y.txt"), "y.txt");
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/a/b/sub/z.txt"), "sub/z.txt");
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/x/y/z.txt"), "../../x/y/z.txt");
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/a/b/c\\d.txt"), "c\\d.txt");  // a backslash is part of a name
    // Folders that differ only by case are different folders on Linux.
    EXPECT_EQ(relativePathFrom("/a/b/cat.qlry", "/a/B/写真/z.jpg"), "../B/写真/z.jpg");
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "../B/写真/z.jpg"), "/a/B/写真/z.jpg");
    EXPECT_EQ(relativePathFrom("/home/u/カタログ/c.qlry", "/home/u/文書/d.txt"), "../文書/d.txt");

    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "../c/x.txt"), "/a/c/x.txt");
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "y.txt"), "/a/b/y.txt");
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "sub/z.txt"), "/a/b/sub/z.txt");
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "../../x"), "/x");
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "/elsewhere/f"), "/elsewhere/f");
    // Relative then absolute gives the target back.
    for (const char* target : {"/a/c/x.txt", "/a/b/y.txt", "/x/y/z.txt", "/a/b/c/d/e.txt"}) {
        EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", relativePathFrom("/a/b/cat.qlry", target)), target);
    }

    // Climbing above the root is a failure for the caller to tell; nothing is shown from here.
    CRecordingUserInterface ui;
    EXPECT_EQ(absolutePathFrom("/a/b/cat.qlry", "../../../x"), std::nullopt);
    EXPECT_EQ(absolutePathFrom("/cat.qlry", "../x"), std::nullopt);
    EXPECT_EQ(absolutePathFrom("/cat.qlry", "x"), "/x");
    EXPECT_TRUE(ui.shown().empty());
}

TEST(PathUtil, FolderOfAPath) {
    EXPECT_EQ(folderOf("/a/b/cat.qlry"), "/a/b");
    EXPECT_EQ(folderOf("/x"), "/");
    EXPECT_EQ(folderOf("/"), "/");
    EXPECT_EQ(folderOf("cat.qlry"), "");
    EXPECT_EQ(folderOf(""), "");
    EXPECT_EQ(folderOf("a/b"), "a");
}

TEST(PathUtil, UniqueNamesAndFoldersOnDisk) {
    CTempFolder temp;
    const std::string base = temp.path();
    EXPECT_EQ(uniqueFileName(base + "/a.txt"), base + "/a.txt");
    texttest::writeFile(base + "/a.txt", "x");
    EXPECT_EQ(uniqueFileName(base + "/a.txt"), base + "/a(1).txt");
    texttest::writeFile(base + "/a(1).txt", "x");
    std::filesystem::create_directory(base + "/a(2).txt");  // a folder of that name is taken too
    EXPECT_EQ(uniqueFileName(base + "/a.txt"), base + "/a(3).txt");
    texttest::writeFile(base + "/README", "x");
    EXPECT_EQ(uniqueFileName(base + "/README"), base + "/README(1)");
    texttest::writeFile(base + "/.profile", "x");
    EXPECT_EQ(uniqueFileName(base + "/.profile"), base + "/.profile(1)");
    std::filesystem::create_symlink(base + "/missing", base + "/link.lnk");
    EXPECT_EQ(uniqueFileName(base + "/link.lnk"), base + "/link(1).lnk");  // a dangling link exists

    EXPECT_EQ(makeDirectories(base + "/写真/2024/京都"), 1);
    EXPECT_TRUE(std::filesystem::is_directory(base + "/写真/2024/京都"));
    EXPECT_EQ(makeDirectories(base + "/写真/2024/京都"), 0);  // nothing created
    EXPECT_EQ(makeDirectories(base + "/写真/2025/"), 1);
    EXPECT_TRUE(std::filesystem::is_directory(base + "/写真/2025"));
    EXPECT_EQ(makeDirectories(base + "/a.txt/sub"), 0);  // a file stands in the way
    EXPECT_EQ(makeDirectories("/"), 0);
    EXPECT_EQ(makeDirectories(""), 0);

    const std::string appPath = applicationFolderPath("quillory.conf");
    EXPECT_EQ(std::filesystem::path(appPath).filename(), "quillory.conf");
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(appPath).parent_path()));
    EXPECT_FALSE(temporaryFolder().empty());
    EXPECT_NE(temporaryFolder().back(), '/');
}
