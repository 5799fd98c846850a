#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "catalogfile/CSafeFileWriter.h"
#include "support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

class SafeSaveFolder final {
public:
    SafeSaveFolder() = default;
    ~SafeSaveFolder() { CSafeFileWriter::clearFaults(); }
    std::string file(const std::string& name) const { return m_temp / name; }
    // Every entry of the folder, so that a left-behind temporary file shows.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(m_temp.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    CTempFolder m_temp;
};

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}  // namespace

TEST(CSafeFileWriterTest, ReplacesTheFileAndKeepsItsPermissions) {
    SafeSaveFolder folder;
    std::string path = folder.file("cat.qlry");
    ASSERT_FALSE(CSafeFileWriter::write(path, std::string("first\0bytes", 11)).has_value());
    EXPECT_EQ(contentsOf(path), std::string("first\0bytes", 11));

    ::chmod(path.c_str(), 0640);
    ASSERT_FALSE(CSafeFileWriter::write(path, "second").has_value());
    EXPECT_EQ(contentsOf(path), "second");
    EXPECT_EQ(modeOf(path), 0640u);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"cat.qlry"});

    // A catalog reached through a symbolic link is saved into the link's target; the link stays a link.
    std::string link = folder.file("link.qlry");
    fs::create_symlink(path, link);
    ASSERT_FALSE(CSafeFileWriter::write(link, "third").has_value());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contentsOf(path), "third");
}

TEST(CSafeFileWriterTest, AFailedSaveLeavesTheOldFileUntouched) {
    SafeSaveFolder folder;
    std::string path = folder.file("cat.qlry");
    ASSERT_FALSE(CSafeFileWriter::write(path, "precious").has_value());

    struct Case {
        CSafeFileWriter::Step step;
        int errorNumber;
        FileErrorKind kind;
        std::string message;
    };
    const Case cases[] = {
        {CSafeFileWriter::Step::Write, ENOSPC, FileErrorKind::DiskFull,
         "出力先のﾃﾞｨｽｸ ﾄﾞﾗｲﾌﾞの空き容量が不足しています。"},
        {CSafeFileWriter::Step::Sync, EIO, FileErrorKind::Other,
         path + " の書き込み中に予期しないｴﾗｰが発生しました。"},
        {CSafeFileWriter::Step::CreateTemporary, EROFS, FileErrorKind::AccessDenied,
         path + " は使用中または読み取り専用のため、書き込めません。"},
        {CSafeFileWriter::Step::Rename, EACCES, FileErrorKind::AccessDenied,
         path + " は使用中または読み取り専用のため、書き込めません。"},
    };
    for (const Case& c : cases) {
        CSafeFileWriter::clearFaults();
        CSafeFileWriter::injectFault(c.step, c.errorNumber);
        std::optional<CFileError> error = CSafeFileWriter::write(path, "replacement that must not land");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind(), c.kind);
        EXPECT_EQ(error->userMessage(), c.message);
        EXPECT_EQ(contentsOf(path), "precious");
        EXPECT_EQ(folder.entries(), std::vector<std::string>{"cat.qlry"});
    }

    // A folder that does not exist is a real failure of the file system, reported with the path.
    CSafeFileWriter::clearFaults();
    std::optional<CFileError> missing = CSafeFileWriter::write(folder.file("gone/cat.qlry"), "x");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->errorNumber(), ENOENT);
    EXPECT_NE(missing->describe().find("gone/cat.qlry"), std::string::npos);
}
