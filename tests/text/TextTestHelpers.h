#pragma once

// Helpers for the text tests: whole-file reads and writes, and running a real tool (iconv, nkf) over
// bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/CToolRunner.h"

namespace texttest {

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs `command` (a shell command line) with `input` on standard input; returns its standard output.
// The test fails when the command exits non-zero.
inline std::string runTool(const std::string& command, const std::string& input) {
    const CToolRunner::Result result = CToolRunner::run(command, input);
    EXPECT_EQ(result.exitStatus, 0) << command;
    return result.output;
}

}  // namespace texttest
