#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cli/CCommandLine.h"

// One qlry command ("info", "list", ...). The tool parses the command's options, answers --help from
// usage(), and runs it; run returns the exit status (cli/ExitCodes.h). Output goes to standard output,
// messages to standard error.
class CCommand {
public:
    virtual ~CCommand() = default;

    virtual std::string_view name() const = 0;
    // One line for the tool's help.
    virtual std::string_view summary() const = 0;
    // The command's own help: its synopsis and options.
    virtual std::string usage() const = 0;
    // The options the command takes ("help" is always accepted).
    virtual std::vector<CCommandLine::OptionSpec> options() const = 0;
    virtual int run(const CCommandLine& line) = 0;
};
