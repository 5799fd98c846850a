#include "text/CLineFile.h"

#include <gtest/gtest.h>

#include "TextTestHelpers.h"
#include "support/CTempFolder.h"

TEST(CLineFile, WritesAndReadsLinesWithTheirLineEnds) {
    CTempFolder folder;
    const std::string path = folder / "カタログ.csv";
    {
        CLineFile file;
        file.open(path, "wb");
        file.write("名前,サイズ\r\n");
        file.write("a.txt,1\n");
        file.write("last");
    }  // closed by the destructor
    EXPECT_EQ(texttest::readFile(path), "名前,サイズ\r\na.txt,1\nlast");

    CLineFile file;
    file.open(path, "rb");
    std::string line;
    ASSERT_TRUE(file.readLine(line));
    EXPECT_EQ(line, "名前,サイズ\r\n");
    ASSERT_TRUE(file.readLine(line, 3));
    EXPECT_EQ(line, "a.t");
    ASSERT_TRUE(file.readLine(line));
    EXPECT_EQ(line, "xt,1\n");
    ASSERT_TRUE(file.readLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(file.readLine(line));
    EXPECT_EQ(line, "");
    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_FALSE(file.readLine(line));
    file.close();  // closing twice is harmless

    file.open(path, "ab");
    file.write("\nmore");
    file.close();
    EXPECT_EQ(texttest::readFile(path), "名前,サイズ\r\na.txt,1\nlast\nmore");
}

TEST(CLineFile, FailuresThrowTheMessageWithThePathAndLeaveTheFileClosed) {
    CTempFolder folder;
    const std::string missing = folder / "無い/a.txt";
    CLineFile file;
    try {
        file.open(missing, "r");
        FAIL() << "opening a missing file succeeded";
    } catch (const CVemtoFileException& error) {
        EXPECT_STREQ(error.what(), ("ファイルのオープンに失敗しました:" + missing).c_str());
        EXPECT_EQ(error.path(), missing);
    }
    EXPECT_FALSE(file.isOpen());

    // A full disk: a large write fails at once, a small one when the buffer is flushed at close.
    file.open("/dev/full", "wb");
    EXPECT_THROW(
        {
            try {
                file.write(std::string(1 << 20, 'x'));
            } catch (const CVemtoFileException& error) {
                EXPECT_STREQ(error.what(), "ファイルの書込に失敗しました:/dev/full");
                throw;
            }
        },
        CVemtoFileException);
    EXPECT_FALSE(file.isOpen());
    EXPECT_THROW(file.write("x"), CVemtoFileException);  // writing to a closed file fails too

    file.open("/dev/full", "wb");
    file.write("small");
    try {
        file.close();
        FAIL() << "closing a file on a full disk succeeded";
    } catch (const CVemtoFileException& error) {
        EXPECT_STREQ(error.what(), "ファイルのクローズに失敗しました:/dev/full");
    }
    EXPECT_FALSE(file.isOpen());
}
