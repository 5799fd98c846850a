#pragma once

#include "cli/CCommand.h"

// qlry values CATALOG CATEGORY [--select ...] [--all] [--filter] [--json]: the values the category pane
// lists for the category after the recompute, in their sorted order.
class CValuesCommand final : public CCommand {
public:
    std::string_view name() const override { return "values"; }
    std::string_view summary() const override {
        return "list the values the category pane shows for a category";
    }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override;
    int run(const CCommandLine& line) override;
};
