// Files moved to the freedesktop Trash as a file manager finds them there: the file under files/, its
// .trashinfo with the original path escaped byte for byte, and a second file of the same name beside it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/CTrash.h"
#include "support/CTempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

// Points XDG_DATA_HOME into the test's folder for its lifetime.
class ScopedDataHome final {
public:
    explicit ScopedDataHome(const std::string& folder) {
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            m_old = old;
        }
        setenv("XDG_DATA_HOME", folder.c_str(), 1);
    }
    ~ScopedDataHome() {
        if (m_old.empty()) {
            unsetenv("XDG_DATA_HOME");
        } else {
            setenv("XDG_DATA_HOME", m_old.c_str(), 1);
        }
    }

private:
    std::string m_old;
};

}  // namespace

TEST(TrashTest, MovesFilesWithTheirExactNamesAndRecordsWhereTheyWere) {
    CTempFolder root;
    ScopedDataHome dataHome(root / "data");
    const std::string trash = root / "data/Trash";
    EXPECT_EQ(CTrash::homeTrash(), trash);

    // Spaces, "#", "%", a newline and bytes that are not UTF-8 all stay as they are.
    const std::string oddName = "a b#%\n\xff\xfe.txt";
    const std::string odd = root.write("docs/" + oddName, "odd");
    ASSERT_FALSE(CTrash::moveToTrash(odd).has_value());
    EXPECT_FALSE(fs::exists(odd));
    EXPECT_EQ(readFile(trash + "/files/" + oddName), "odd");
    const std::string info = readFile(trash + "/info/" + oddName + ".trashinfo");
    const std::string escapedFolder = CTrash::escapePath(root / "docs/");
    EXPECT_EQ(info.substr(0, info.find("DeletionDate=")),
              "[Trash Info]\nPath=" + escapedFolder + "a%20b%23%25%0A%FF%FE.txt\n");
    EXPECT_EQ(info.size(), info.find("DeletionDate=") + std::string("DeletionDate=2026-01-01T00:00:00\n").size());

    // A second file of the same name does not replace the first; a folder goes whole.
    const std::string again = root.write("other/" + oddName, "again");
    ASSERT_FALSE(CTrash::moveToTrash(again).has_value());
    EXPECT_EQ(readFile(trash + "/files/" + oddName), "odd");
    EXPECT_EQ(readFile(trash + "/files/" + oddName + ".2"), "again");
    EXPECT_TRUE(fs::exists(trash + "/info/" + oddName + ".2.trashinfo"));
    root.write("tree/sub/leaf.txt", "leaf");
    ASSERT_FALSE(CTrash::moveToTrash(root / "tree").has_value());
    EXPECT_EQ(readFile(trash + "/files/tree/sub/leaf.txt"), "leaf");

    // A name too long to get its info file stays where it is, and the failure names it.
    const std::string longPath = root.write(std::string(250, 'n'), "long");
    const auto failure = CTrash::moveToTrash(longPath);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->path, longPath);
    EXPECT_FALSE(failure->what.empty());
    EXPECT_EQ(readFile(longPath), "long");

    // Nothing at the path, or a relative path: nothing is moved.
    EXPECT_TRUE(CTrash::moveToTrash(root / "missing").has_value());
    EXPECT_TRUE(CTrash::moveToTrash("relative.txt").has_value());
}
