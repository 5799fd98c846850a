#pragma once

#include "cli/CCommand.h"

// qlry remove CATALOG PATH-OR-URL...: unregisters the items with those paths (their shortcut files are
// deleted) and saves the catalog.
class CRemoveCommand final : public CCommand {
public:
    std::string_view name() const override { return "remove"; }
    std::string_view summary() const override { return "unregister the items with the given paths or URLs"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override { return {}; }
    int run(const CCommandLine& line) override;
};
