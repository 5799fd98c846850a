#pragma once

#include "cli/CCommand.h"

// qlry new PARENT-FOLDER NAME --category NAME...: creates PARENT-FOLDER/NAME/NAME.qlry with the categories
// in order, saved at once, and prints its path.
class CNewCommand final : public CCommand {
public:
    std::string_view name() const override { return "new"; }
    std::string_view summary() const override { return "create a catalog in a folder of its own"; }
    std::string usage() const override;
    std::vector<CCommandLine::OptionSpec> options() const override {
        return {{"category", true}, {"json", false}};
    }
    int run(const CCommandLine& line) override;
};
