#pragma once

// Helpers for the text tests: a temporary folder, whole-file reads and writes, and running a real tool
// (iconv, nkf) over bytes.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace texttest {

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder final {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "qlry-text-XXXXXX").string();
        m_path = mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Runs `command` (a shell command line) with `input` on standard input; returns its standard output.
// The test fails when the command exits non-zero.
inline std::string runTool(const std::string& command, const std::string& input) {
    TempFolder folder;
    writeFile(folder.path() / "in", input);
    const std::string line = "(" + command + ") < '" + folder.file("in") + "' > '" + folder.file("out") + "'";
    const int status = std::system(line.c_str());
    EXPECT_EQ(status, 0) << line;
    return readFile(folder.path() / "out");
}

}  // namespace texttest
