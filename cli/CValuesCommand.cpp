#include "cli/CValuesCommand.h"

#include <iostream>

#include "catalog/CFileCatalog.h"
#include "cli/CCatalogArgument.h"
#include "cli/CCategoryArgument.h"
#include "cli/CDisplayOptions.h"
#include "cli/CJsonWriter.h"
#include "cli/ExitCodes.h"

std::string CValuesCommand::usage() const {
    return "usage: qlry values CATALOG CATEGORY [--select CATEGORY=VALUE[,VALUE...]]... [--all] [--filter]\n"
           "                   [--json]\n"
           "Lists, one per line, the values the category pane shows for CATEGORY after the recompute, in\n"
           "their sorted order. A category is named by its name or by #N for index N.\n" +
           CDisplayOptions::helpText();
}

std::vector<CCommandLine::OptionSpec> CValuesCommand::options() const {
    return CDisplayOptions::optionSpecs();
}

int CValuesCommand::run(const CCommandLine& line) {
    if (line.positionals().size() != 2) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    if (int status = CCatalogArgument::open(line.positionals()[0], catalog); status != kExitOk)
        return status;
    int category = CCategoryArgument::findCategory(catalog, line.positionals()[1]);
    if (category < 0) {
        std::cerr << "qlry values: no category \"" << line.positionals()[1] << "\"\n";
        return kExitUsage;
    }
    CDisplayOptions display = CDisplayOptions::fromCommandLine(line);
    std::string error;
    if (!display.applyAndRecompute(catalog, &error)) {
        std::cerr << "qlry values: " << error << "\n";
        return kExitUsage;
    }
    const std::vector<std::string>& values = catalog.category(category).values();
    if (display.json()) {
        CJsonWriter json;
        json.stringArray(values);
        std::cout << json.text() << "\n";
    } else {
        for (const std::string& value : values)
            std::cout << value << "\n";
    }
    return kExitOk;
}
