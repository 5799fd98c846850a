#pragma once

#include "cli/CCommand.h"

// qlry check CATALOG [--files] [--json]: reads the catalog file and tells whether it is well-formed, and
// with --files which items' files or folders are missing.
class CCheckCommand final : public CCommand {
public:
    std::string_view name() const override { return "check"; }
    std::string_view summary() const override { return "check a catalog file (and with --files its items)"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override {
        return {{"files", false}, {"json", false}};
    }
    int run(const CCommandLine& line) override;
};
