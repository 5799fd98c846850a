#pragma once

#include "cli/CCommand.h"

// qlry export CATALOG (--xml FILE | --csv FILE | --html) [--select CATEGORY=VALUES]... [--all] [--filter]:
// the displayed items after the recompute, in display order, written to an XML or CSV file, or printed as
// the HTML table that the HTML copy puts on the clipboard.
class CExportCommand final : public CCommand {
public:
    std::string_view name() const override { return "export"; }
    std::string_view summary() const override {
        return "export the displayed items to XML, CSV or an HTML table";
    }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override;
    int run(const CCommandLine& line) override;
};
