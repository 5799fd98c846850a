#pragma once

#include "cli/CCommand.h"

// qlry list CATALOG [--select CATEGORY=VALUES]... [--all] [--filter] [--json]: the displayed items after
// the recompute, in display order.
class CListCommand final : public CCommand {
public:
    std::string_view name() const override { return "list"; }
    std::string_view summary() const override { return "list the displayed items in display order"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override;
    int run(const CCommandLine& line) override;
};
