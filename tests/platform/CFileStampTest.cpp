#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/CFileStamp.h"
#include "support/CTempFolder.h"

namespace {

// Runs a shell command of the real tools (touch, cp, mv) as another program would change the file.
void shell(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

}  // namespace

TEST(CFileStamp, SeesEveryKindOfChangeAnotherProgramMakes) {
    CTempFolder folder;
    const std::string path = folder.write("本/本.qlry", "catalog");
    EXPECT_FALSE(CFileStamp::of(folder / "none.qlry").has_value());

    shell("touch -d '2024-05-01 10:00:00.100000000' '" + path + "'");
    const std::optional<CFileStamp> original = CFileStamp::of(path);
    ASSERT_TRUE(original.has_value());
    EXPECT_EQ(original->size(), 7u);
    EXPECT_EQ(original->modifiedNanoseconds(), 100000000);
    EXPECT_EQ(CFileStamp::of(path), original);  // looking twice changes nothing

    // Only the nanoseconds of the modification time differ.
    shell("touch -d '2024-05-01 10:00:00.100000001' '" + path + "'");
    const std::optional<CFileStamp> touched = CFileStamp::of(path);
    EXPECT_NE(touched, original);
    EXPECT_EQ(touched->modifiedSeconds(), original->modifiedSeconds());
    EXPECT_EQ(touched->inode(), original->inode());

    // The same size and time, but another file renamed over the path.
    shell("cp -p '" + path + "' '" + path + ".tmp' && mv '" + path + ".tmp' '" + path + "'");
    const std::optional<CFileStamp> replaced = CFileStamp::of(path);
    EXPECT_EQ(replaced->size(), touched->size());
    EXPECT_EQ(replaced->modifiedNanoseconds(), touched->modifiedNanoseconds());
    EXPECT_NE(replaced->inode(), touched->inode());
    EXPECT_NE(replaced, touched);

    // Another size at the same time.
    shell("printf 'catalog!' > '" + path + "' && touch -d '2024-05-01 10:00:00.100000001' '" + path + "'");
    const std::optional<CFileStamp> grown = CFileStamp::of(path);
    EXPECT_EQ(grown->size(), 8u);
    EXPECT_EQ(grown->modifiedNanoseconds(), replaced->modifiedNanoseconds());
    EXPECT_NE(grown, replaced);
}
