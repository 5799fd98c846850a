#pragma once

#include "cli/CCommand.h"

// qlry set CATALOG PATH-OR-URL --set CATEGORY=VALUES...: replaces value strings of a registered item and
// saves the catalog.
class CSetCommand final : public CCommand {
public:
    std::string_view name() const override { return "set"; }
    std::string_view summary() const override { return "replace value strings of a registered item"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override { return {{"set", true}}; }
    int run(const CCommandLine& line) override;
};
