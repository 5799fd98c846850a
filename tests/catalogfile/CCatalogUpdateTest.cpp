#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "catalogfile/CCatalogUpdate.h"
#include "catalogfile/CSafeFileWriter.h"
#include "support/CTempFolder.h"

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(CCatalogUpdateTest, ASaveOverAFileChangedSinceItWasReadIsRefused) {
    CTempFolder folder;
    const std::string path = folder / "cat.qlry";
    CFileCatalog original;
    original.addCategory("A");
    ASSERT_FALSE(CCatalogFile::write(original, path).has_value());

    // Another program, which takes no lock, saves its own version between our read and our save.
    CFileCatalog catalog;
    CCatalogUpdate update;
    ASSERT_FALSE(update.open(catalog, path).has_value());
    CFileCatalog theirs;
    theirs.addCategory("Theirs");
    ASSERT_FALSE(CSafeFileWriter::write(path, CCatalogFile::serialize(theirs, folder.path())).has_value());
    const std::string theirBytes = contentsOf(path);
    catalog.addCategory("Ours");
    std::optional<CCatalogFileError> refused = update.save(catalog);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(refused->fileError().kind(), FileErrorKind::ChangedOnDisk);
    EXPECT_EQ(refused->userMessage(),
              path + " は読み込んだ後に他のプログラムによって変更されたため、保存しませんでした。");
    EXPECT_EQ(contentsOf(path), theirBytes);

    // A save with the stamp of what was read goes through, and so does the next one of the same update.
    CCatalogUpdate again;
    ASSERT_FALSE(again.open(catalog, path).has_value());
    catalog.addCategory("Ours");
    ASSERT_FALSE(again.save(catalog).has_value());
    catalog.addCategory("More");
    ASSERT_FALSE(again.save(catalog).has_value());
    CFileCatalog read;
    ASSERT_FALSE(CCatalogFile::read(read, path).has_value());
    EXPECT_EQ(read.categoryNames(), (std::vector<std::string>{"Theirs", "Ours", "More"}));

    // The application's save passes the stamp it read: a changed file is refused there too.
    const std::optional<CFileStamp> stamp = CFileStamp::of(path);
    ASSERT_FALSE(CSafeFileWriter::write(path, theirBytes).has_value());
    EXPECT_TRUE(CCatalogFile::write(read, path, stamp).has_value());
    EXPECT_EQ(contentsOf(path), theirBytes);
}
