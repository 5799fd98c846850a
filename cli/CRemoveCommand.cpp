#include "cli/CRemoveCommand.h"

#include <algorithm>
#include <iostream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogUpdate.h"
#include "cli/CCatalogArgument.h"
#include "cli/CItemArguments.h"
#include "cli/ExitCodes.h"

std::string CRemoveCommand::usage() const {
    return "usage: qlry remove CATALOG PATH-OR-URL...\n"
           "Unregisters every item with one of the paths or URLs, deletes their shortcut files from the\n"
           "catalog folder, and saves the catalog. Nothing changes when one of them is not registered.\n";
}

int CRemoveCommand::run(const CCommandLine& line) {
    const std::vector<std::string>& args = line.positionals();
    if (args.size() < 2) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    CCatalogUpdate update;
    if (int status = CCatalogArgument::openForChange(args[0], catalog, update); status != kExitOk)
        return status;
    catalog.recompute();
    std::vector<CFileItem*> doomed;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::vector<CFileItem*> items = CItemArguments::itemsWithPath(catalog, args[i]);
        if (items.empty()) {
            std::cerr << "qlry remove: not registered: " << args[i] << "\n";
            return kExitUsage;
        }
        for (CFileItem* item : items) {
            if (std::find(doomed.begin(), doomed.end(), item) == doomed.end())
                doomed.push_back(item);
        }
    }
    for (CFileItem* item : doomed)
        catalog.removeItem(item);
    catalog.recompute();
    return CCatalogArgument::save(catalog, update);
}
