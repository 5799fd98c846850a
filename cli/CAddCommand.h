#pragma once

#include "cli/CCommand.h"

// qlry add CATALOG PATH-OR-URL... [--set CATEGORY=VALUES]... [--title T] [--memo M]: registers items as
// the item dialog does and saves the catalog.
class CAddCommand final : public CCommand {
public:
    std::string_view name() const override { return "add"; }
    std::string_view summary() const override { return "register files, folders or URLs as items"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override {
        return {{"set", true}, {"title", true}, {"memo", true}};
    }
    int run(const CCommandLine& line) override;
};
