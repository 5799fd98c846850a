#pragma once

#include "cli/CCommand.h"

// qlry info CATALOG [--json]: the stored fields of a catalog.
class CInfoCommand final : public CCommand {
public:
    std::string_view name() const override { return "info"; }
    std::string_view summary() const override { return "show the stored fields of a catalog"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override { return {{"json", false}}; }
    int run(const CCommandLine& line) override;
};
