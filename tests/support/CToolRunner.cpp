#include "support/CToolRunner.h"

#include <sys/wait.h>

#include <cstdio>

#include "support/CTempFolder.h"

CToolRunner::Result CToolRunner::run(const std::string& command) {
    Result result;
    FILE* pipe = ::popen(("(" + command + ") < /dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    result.exitStatus = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

CToolRunner::Result CToolRunner::run(const std::string& command, std::string_view input) {
    // Through a file rather than a second pipe: a tool that writes before it has read all of its input
    // cannot block the test.
    const CTempFolder folder;
    const std::string in = folder.write("in", input);
    return run("(" + command + ") < '" + in + "'");
}
