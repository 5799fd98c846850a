#pragma once

#include <string>
#include <string_view>

// Runs a real tool (iconv, nkf, xmllint, ...) through the shell, so that tests check our output against
// programs that are not ours. One runner for every core test.
class CToolRunner final {
public:
    struct Result {
        std::string output;  // everything the command wrote to standard output
        int exitStatus = -1;  // the exit status, -1 when the command could not be run or was killed
    };

    // Runs the shell command line with nothing on standard input.
    static Result run(const std::string& command);
    // Runs the shell command line with `input` as its standard input.
    static Result run(const std::string& command, std::string_view input);
};
