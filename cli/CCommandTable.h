#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CCommand.h"

// Every qlry command, in the order the tool's help lists them, and the dispatch of a command line.
class CCommandTable final {
public:
    CCommandTable();

    // Runs "qlry ARGS...": finds the command, parses its options, answers --help, runs it. Returns the exit
    // status.
    int run(const std::vector<std::string>& args);
    std::string usage() const;

private:
    CCommand* find(std::string_view name) const;

    std::vector<std::unique_ptr<CCommand>> m_commands;
};
