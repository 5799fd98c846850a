#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/CMovedFileSearch.h"
#include "platform/CShellLink.h"
#include "support/CToolRunner.h"

namespace fs = std::filesystem;

namespace {

// 2020-01-02 03:04:05 UTC as FILETIME, worked out by hand: (1577934245 + 11644473600) * 10^7.
constexpr std::int64_t kKnownWriteTime = 132224078450000000;

class ShellLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        m_root = fs::temp_directory_path() / ("quillory-shelllink-" + std::to_string(random()));
        fs::create_directories(m_root);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_root, ignored);
    }

    std::string makeFile(const fs::path& relative, const std::string& content) {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    std::string path(const fs::path& relative) const { return (m_root / relative).string(); }

    // A link for the target saved in the test folder and read back.
    CShellLink roundTrip(const std::string& target) {
        const std::string linkPath = path("link.lnk");
        CShellLinkError error;
        EXPECT_TRUE(CShellLink::forTarget(target).save(linkPath, &error)) << error.what;
        auto link = CShellLink::load(linkPath, &error);
        EXPECT_TRUE(link.has_value()) << error.what << " at " << error.offset;
        return link.value_or(CShellLink());
    }

    fs::path m_root;
};

std::vector<char> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void setWriteTime(const std::string& path) {
    const auto time =
        std::chrono::file_clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(1577934245)));
    fs::last_write_time(path, time);
}

}  // namespace

TEST_F(ShellLinkTest, LinkToARealFileReadsBackWithItsTargetAndFileData) {
    const std::string target = makeFile("docs/report.txt", std::string(1234, 'x'));
    setWriteTime(target);

    const CShellLink link = roundTrip(target);
    EXPECT_EQ(link.targetPath(), target);
    EXPECT_EQ(link.findData().attributes, 0x20u);
    EXPECT_EQ(link.findData().fileSize, 1234u);
    EXPECT_EQ(link.findData().writeTime, kKnownWriteTime);
    EXPECT_FALSE(link.findData().isDirectory());
    EXPECT_GT(link.findData().accessTime, kKnownWriteTime);
    struct stat status {};
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(link.inode(), status.st_ino);
    EXPECT_EQ(link.device(), status.st_dev);

    // Folders, read-only files and missing targets.
    const auto folder = CShellLink::findDataOf(path("docs"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(folder->isDirectory());
    EXPECT_EQ(folder->attributes, 0x10u);
    EXPECT_EQ(folder->fileSize, 0u);
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(CShellLink::findDataOf(target)->attributes, 0x21u);
    EXPECT_FALSE(CShellLink::findDataOf(path("docs/missing.txt")).has_value());
    const CShellLink missing = roundTrip(path("docs/missing.txt"));
    EXPECT_EQ(missing.targetPath(), path("docs/missing.txt"));
    EXPECT_EQ(missing.findData().writeTime, 0);
    EXPECT_EQ(missing.inode(), 0u);

    // A size beyond 32 bits survives although the header holds only the low half.
    CShellLink big = CShellLink::forTarget(target);
    CFindData data = big.findData();
    data.fileSize = 0x1'2345'6789ULL;
    big.setFindData(data);
    ASSERT_TRUE(big.save(path("big.lnk")));
    EXPECT_EQ(CShellLink::load(path("big.lnk"))->findData().fileSize, 0x1'2345'6789ULL);

    // Saving replaces an existing link and leaves no temporary file behind.
    ASSERT_TRUE(CShellLink::forTarget(path("docs")).save(path("big.lnk")));
    EXPECT_EQ(CShellLink::load(path("big.lnk"))->targetPath(), path("docs"));
    EXPECT_FALSE(fs::exists(path("big.lnk.part")));
    CShellLinkError error;
    EXPECT_FALSE(CShellLink::forTarget(target).save(path("no/such/folder/x.lnk"), &error));
    EXPECT_EQ(error.path, path("no/such/folder/x.lnk"));
}

TEST_F(ShellLinkTest, TheFileCommandRecognisesOurLinkAndItsData) {
    const std::string target = makeFile("photo.jpg", std::string(4321, 'p'));
    setWriteTime(target);
    ASSERT_TRUE(CShellLink::forTarget(target).save(path("photo.lnk")));

    const std::string description = CToolRunner::run("TZ=UTC file -b '" + path("photo.lnk") + "'").output;
    EXPECT_NE(description.find("MS Windows shortcut"), std::string::npos) << description;
    EXPECT_NE(description.find("Points to a file or directory"), std::string::npos) << description;
    EXPECT_NE(description.find("Archive"), std::string::npos) << description;
    // file(1) labels the header's three times ctime, mtime, atime in their order in the file; the third is
    // the write time.
    EXPECT_NE(description.find("atime=Thu Jan  2 03:04:05 2020"), std::string::npos) << description;
    EXPECT_NE(description.find("length=4321"), std::string::npos) << description;
}

TEST_F(ShellLinkTest, JapaneseTargetPathRoundTripsInBothPathForms) {
    const std::string target = makeFile("写真/夏休み　旅行.jpg", "jpeg");
    const CShellLink link = roundTrip(target);
    EXPECT_EQ(link.targetPath(), target);
    EXPECT_EQ(link.findData().fileSize, 4u);

    // The UTF-16 form is what Windows' own reader uses: iconv must find the same code units in the file.
    const std::string utf16 =
        CToolRunner::run("iconv -f UTF-8 -t UTF-16LE | od -An -tx1 -v", target).output;
    const std::string fileHex = CToolRunner::run("od -An -tx1 -v '" + path("link.lnk") + "'").output;
    auto squeeze = [](std::string text) {
        std::erase_if(text, [](char c) { return c == ' ' || c == '\n'; });
        return text;
    };
    ASSERT_FALSE(squeeze(utf16).empty());
    EXPECT_NE(squeeze(fileHex).find(squeeze(utf16)), std::string::npos);

    // Where the code-page form lost characters (Windows writes "?" for them), the UTF-16 form is used.
    std::vector<char> bytes = bytesOf(path("link.lnk"));
    const auto ansi = std::search(bytes.begin(), bytes.end(), target.begin(), target.end());
    ASSERT_NE(ansi, bytes.end());
    std::fill(ansi, ansi + static_cast<std::ptrdiff_t>(target.size()), '?');
    writeBytes(path("link.lnk"), bytes);
    EXPECT_EQ(CShellLink::load(path("link.lnk"))->targetPath(), target);

    // A file name that is not UTF-8 is kept byte for byte.
    const std::string latin1 = makeFile("caf\xE9.txt", "x");
    EXPECT_EQ(roundTrip(latin1).targetPath(), latin1);
}

TEST_F(ShellLinkTest, TruncatedOrForeignFilesGiveAnErrorWithItsOffset) {
    const std::string target = makeFile("a/b/日本語.txt", "content");
    ASSERT_TRUE(CShellLink::forTarget(target).save(path("whole.lnk")));
    const std::vector<char> whole = bytesOf(path("whole.lnk"));
    ASSERT_GT(whole.size(), 0x4Cu + 0x24u);

    for (std::size_t length = 0; length < whole.size(); ++length) {
        writeBytes(path("cut.lnk"), std::vector<char>(whole.begin(), whole.begin() + length));
        CShellLinkError error;
        EXPECT_FALSE(CShellLink::load(path("cut.lnk"), &error).has_value()) << "length " << length;
        EXPECT_GE(error.offset, 0) << "length " << length;
        EXPECT_LE(error.offset, static_cast<std::int64_t>(length)) << "length " << length;
        EXPECT_EQ(error.path, path("cut.lnk"));
        EXPECT_FALSE(error.what.empty());
    }

    auto errorOf = [&](std::vector<char> bytes) {
        writeBytes(path("bad.lnk"), bytes);
        CShellLinkError error;
        EXPECT_FALSE(CShellLink::load(path("bad.lnk"), &error).has_value());
        return error;
    };
    EXPECT_EQ(errorOf(std::vector<char>(200, 'a')).offset, 0);
    std::vector<char> bytes = whole;
    bytes[0] = 0x4D;
    EXPECT_EQ(errorOf(bytes).offset, 0);
    bytes = whole;
    bytes[10] ^= 1;
    EXPECT_EQ(errorOf(bytes).offset, 4);
    bytes = whole;
    bytes[0x4C + 3] = 0x7F;  // LinkInfoSize far past the end
    EXPECT_EQ(errorOf(bytes).offset, 0x4C);
    bytes = whole;
    bytes[0x4C + 0x10] = static_cast<char>(0xF0);  // LocalBasePathOffset past LinkInfo
    EXPECT_EQ(errorOf(bytes).offset, 0x4C + 0x10);
    bytes = whole;
    bytes[bytes.size() - 4] = 0x7F;  // the terminal block turned into a block longer than the file
    EXPECT_EQ(errorOf(bytes).offset, static_cast<std::int64_t>(whole.size() - 4));

    CShellLinkError error;
    EXPECT_FALSE(CShellLink::load(path("none.lnk"), &error).has_value());
    EXPECT_EQ(error.path, path("none.lnk"));
}

// A link laid out as other programs write them: an ID list, an ANSI-only LinkInfo whose path is split
// into base and suffix, string data and an extra data block of an unknown kind.
TEST_F(ShellLinkTest, LinksWithTheOptionalPartsOfOtherWritersAreRead) {
    std::vector<char> bytes;
    auto u16 = [&](std::uint32_t v) {
        bytes.push_back(static_cast<char>(v & 0xFF));
        bytes.push_back(static_cast<char>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    auto text = [&](const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); };
    u32(0x4C);
    for (int b :
         {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}) {
        bytes.push_back(static_cast<char>(b));
    }
    u32(0x1 | 0x2 | 0x4 | 0x8 | 0x80);  // ID list, link info, name, relative path, Unicode
    u32(0x20);
    bytes.resize(0x34, 0);
    u32(77);  // FileSize
    bytes.resize(0x4C, 0);
    u16(6);  // ID list: one item of 4 bytes, then the terminating 0
    u16(4);
    u16(0xABCD);
    u16(0);
    const std::string base = path("base") + "/";
    const std::uint32_t linkInfoSize = 0x1C + 0x11 + static_cast<std::uint32_t>(base.size()) + 1 + 6;
    u32(linkInfoSize);
    u32(0x1C);
    u32(1);
    u32(0x1C);         // VolumeID
    u32(0x1C + 0x11);  // LocalBasePath
    u32(0);
    u32(0x1C + 0x11 + static_cast<std::uint32_t>(base.size()) + 1);  // CommonPathSuffix
    u32(0x11);
    u32(3);
    u32(0x1234);
    u32(0x10);
    bytes.push_back(0);
    text(base);
    bytes.push_back(0);
    text("x.txt");
    bytes.push_back(0);
    u16(2);  // NAME_STRING "hi" in UTF-16
    text(std::string("h\0i\0", 4));
    u16(3);  // RELATIVE_PATH
    text(std::string(".\0.\0/\0", 6));
    u32(12);  // an unknown block
    u32(0xA0000099);
    u32(0xFFFFFFFF);
    u32(0);
    writeBytes(path("other.lnk"), bytes);

    CShellLinkError error;
    const auto link = CShellLink::load(path("other.lnk"), &error);
    ASSERT_TRUE(link.has_value()) << error.what << " at " << error.offset;
    EXPECT_EQ(link->targetPath(), base + "x.txt");
    EXPECT_EQ(link->findData().fileSize, 77u);
    EXPECT_EQ(link->inode(), 0u);

    // Without LinkInfo the relative path, taken from the link's folder, locates the target.
    bytes[0x14] = static_cast<char>(0x1 | 0x4 | 0x8 | 0x80);
    const std::size_t linkInfoStart = 0x4C + 8;
    bytes.erase(bytes.begin() + linkInfoStart, bytes.begin() + linkInfoStart + linkInfoSize);
    std::filesystem::create_directories(path("sub"));
    writeBytes(path("sub/rel.lnk"), bytes);
    const auto relative = CShellLink::load(path("sub/rel.lnk"), &error);
    ASSERT_TRUE(relative.has_value()) << error.what << " at " << error.offset;
    EXPECT_EQ(relative->targetPath(), m_root.string() + "/");
}

TEST_F(ShellLinkTest, ResolveFindsMovedAndRenamedTargetsAndGivesUpOnLostOnes) {
    // A link read back from its file, so that what resolve uses is what the file recorded.
    auto linkFor = [&](const std::string& target) {
        EXPECT_TRUE(CShellLink::forTarget(target).save(path("t.lnk")));
        return CShellLink::load(path("t.lnk")).value_or(CShellLink());
    };

    // An existing target stays and its data are refreshed.
    const std::string kept = makeFile("kept/k.txt", "12");
    CShellLink keptLink = linkFor(kept);
    makeFile("kept/k.txt", "12345");
    EXPECT_TRUE(keptLink.resolve(""));
    EXPECT_EQ(keptLink.targetPath(), kept);
    EXPECT_EQ(keptLink.findData().fileSize, 5u);

    // Moved into a subfolder: found by its name.
    CShellLink moved = linkFor(makeFile("a/photo.jpg", "photo"));
    makeFile("a/decoy.jpg", "other");
    fs::create_directories(path("a/2020"));
    fs::rename(path("a/photo.jpg"), path("a/2020/photo.jpg"));
    EXPECT_TRUE(moved.resolve(""));
    EXPECT_EQ(moved.targetPath(), path("a/2020/photo.jpg"));
    EXPECT_EQ(moved.findData().fileSize, 5u);

    // Renamed in its folder: found by size and time, not confused with a file of the same size only.
    const std::string notes = makeFile("b/notes.txt", "same size");
    setWriteTime(notes);
    CShellLink renamed = linkFor(notes);
    makeFile("b/another.txt", "same-size");
    fs::rename(notes, path("b/memo.txt"));
    EXPECT_TRUE(renamed.resolve(""));
    EXPECT_EQ(renamed.targetPath(), path("b/memo.txt"));

    // Copied under a new name with its time and the original deleted (as a move between file systems
    // does): a new inode, so only size and time can find it.
    const std::string copied = makeFile("b2/song.mp3", "la la la");
    setWriteTime(copied);
    CShellLink copiedLink = linkFor(copied);
    makeFile("b2/same-size.mp3", "lalalala");
    fs::create_directories(path("b2/sub"));
    fs::copy_file(copied, path("b2/sub/renamed.mp3"));
    setWriteTime(path("b2/sub/renamed.mp3"));
    fs::remove(copied);
    EXPECT_TRUE(copiedLink.resolve(""));
    EXPECT_EQ(copiedLink.targetPath(), path("b2/sub/renamed.mp3"));

    // Rewritten in a subfolder under its old name: only the name is left to find it by.
    CShellLink rewritten = linkFor(makeFile("b3/draft.txt", "first"));
    fs::remove(path("b3/draft.txt"));
    makeFile("b3/v2/draft.txt", "second, longer");
    EXPECT_TRUE(rewritten.resolve(""));
    EXPECT_EQ(rewritten.targetPath(), path("b3/v2/draft.txt"));

    // A renamed folder: found by its inode among other folders.
    fs::create_directories(path("c/albums"));
    fs::create_directories(path("c/other"));
    CShellLink folder = linkFor(path("c/albums"));
    ASSERT_NE(folder.inode(), 0u);
    fs::rename(path("c/albums"), path("c/albums-2019"));
    EXPECT_TRUE(folder.resolve(""));
    EXPECT_EQ(folder.targetPath(), path("c/albums-2019"));
    EXPECT_TRUE(folder.findData().isDirectory());

    // A file whose folder was renamed: searched from the folder above, and the same name with the
    // same data wins over the same name alone, although that one comes first.
    CShellLink inRenamedFolder = linkFor(makeFile("d/2019/img.jpg", "summer"));
    makeFile("d/2018/img.jpg", "winter!");
    fs::rename(path("d/2019"), path("d/2019-old"));
    EXPECT_TRUE(inRenamedFolder.resolve(""));
    EXPECT_EQ(inRenamedFolder.targetPath(), path("d/2019-old/img.jpg"));

    // Moved to another tree: only the extra folder finds it.
    CShellLink farAway = linkFor(makeFile("e/far.txt", "far"));
    fs::create_directories(path("elsewhere/deep/er"));
    fs::rename(path("e/far.txt"), path("elsewhere/deep/er/far.txt"));
    CShellLink withoutExtra = farAway;
    EXPECT_FALSE(withoutExtra.resolve(""));
    EXPECT_TRUE(farAway.resolve(path("elsewhere")));
    EXPECT_EQ(farAway.targetPath(), path("elsewhere/deep/er/far.txt"));

    // Lost: deleted, while new files (which may reuse its inode number) appear in its folder.
    CShellLink lost = linkFor(makeFile("g/lost.txt", "gone"));
    fs::remove(path("g/lost.txt"));
    for (int i = 0; i < 5; ++i) {
        makeFile("g/new" + std::to_string(i) + ".txt", "new file " + std::to_string(i));
    }
    EXPECT_FALSE(lost.resolve(path("elsewhere")));
    EXPECT_EQ(lost.targetPath(), path("g/lost.txt"));
    EXPECT_FALSE(CShellLink().resolve(path("g")));
}

TEST_F(ShellLinkTest, TheSearchForAMovedFileIsBoundedAndSurvivesLinkLoops) {
    const std::string target = makeFile("root/deep1/deep2/deep3/deep4/wanted.txt", "wanted");
    const auto identity = CShellLink::forTarget(target);
    const std::string lostPath = path("root/wanted.txt");
    for (int i = 0; i < 40; ++i) {
        // A size of its own: a filler written within the same clock tick would otherwise match the
        // wanted file by size and modification time.
        makeFile("root/a" + std::to_string(i) + ".txt", "filler file");
    }
    fs::create_directory_symlink(path("root"), path("root/loop"));
    fs::create_directory_symlink(path("root/deep1"), path("root/deep1/deep2/back"));
    auto search = [&](std::size_t entries, int depth) {
        CMovedFileSearch moved(lostPath, identity.findData(), identity.device(), identity.inode());
        moved.setLimits(entries, depth);
        auto found = moved.find("");
        EXPECT_LE(moved.visitedEntries(), entries);
        return found;
    };
    EXPECT_EQ(search(1000, 16), target);
    EXPECT_EQ(search(1000, 5), target);
    EXPECT_FALSE(search(1000, 4).has_value());
    EXPECT_FALSE(search(20, 16).has_value());

    // A symbolic link is neither followed nor taken as the file.
    fs::rename(target, path("outside.txt"));
    fs::create_directories(path("root2"));
    fs::create_symlink(path("outside.txt"), path("root2/wanted.txt"));
    CMovedFileSearch viaLink(path("root2/gone/wanted.txt"), identity.findData(), identity.device(),
                             identity.inode());
    EXPECT_FALSE(viaLink.find("").has_value());
}
