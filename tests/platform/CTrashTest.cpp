// Files moved to the freedesktop Trash as a file manager finds them there: a second file of the same name
// beside the first, each .trashinfo with its original path escaped byte for byte.

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

TEST(TrashTest, KeepsFilesOfTheSameNameApartAndMovesOnlyWhatIsThere) {
    CTempFolder root;
    ScopedDataHome dataHome(root / "data");
    const std::string trash = root / "data/Trash";
    EXPECT_EQ(CTrash::homeTrash(), trash);

    // A second file of the same name does not replace the first; each keeps its own record.
    const std::string name = "a b#%\n\xff.txt";
    ASSERT_FALSE(CTrash::moveToTrash(root.write("one/" + name, "one")).has_value());
    ASSERT_FALSE(CTrash::moveToTrash(root.write("two/" + name, "two")).has_value());
    EXPECT_EQ(readFile(trash + "/files/" + name), "one");
    EXPECT_EQ(readFile(trash + "/files/" + name + ".2"), "two");
    const std::string info = readFile(trash + "/info/" + name + ".2.trashinfo");
    EXPECT_EQ(info.substr(0, info.find("DeletionDate=")),
              "[Trash Info]\nPath=" + CTrash::escapePath(root / "two/") + "a%20b%23%25%0A%FF.txt\n");
    EXPECT_EQ(info.size(), info.find("DeletionDate=") + std::string("DeletionDate=2026-01-01T00:00:00\n").size());

    // Nothing at the path, or a relative path: nothing is moved, and the failure names the path.
    const auto missing = CTrash::moveToTrash(root / "missing");
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->path, root / "missing");
    EXPECT_TRUE(CTrash::moveToTrash("relative.txt").has_value());
}
