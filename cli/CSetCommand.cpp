#include "cli/CSetCommand.h"

#include <iostream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogUpdate.h"
#include "cli/CCatalogArgument.h"
#include "cli/CItemArguments.h"
#include "cli/ExitCodes.h"

std::string CSetCommand::usage() const {
    return "usage: qlry set CATALOG PATH-OR-URL --set CATEGORY=VALUES [--set CATEGORY=VALUES]...\n"
           "Replaces the value strings of the item registered with that path or URL (of every such item),\n"
           "and saves the catalog.\n"
           "  --set CATEGORY=VALUES  the new value string: values separated by \",\", a comma inside a "
           "value\n"
           "                         written \",,\"; CATEGORY= empties it; a category is a name or #N\n";
}

int CSetCommand::run(const CCommandLine& line) {
    const std::vector<std::string>& args = line.positionals();
    if (args.size() != 2 || !line.has("set")) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    CCatalogUpdate update;
    if (int status = CCatalogArgument::openForChange(args[0], catalog, update); status != kExitOk)
        return status;
    CItemArguments fields;
    std::string error;
    if (!fields.parse(catalog, line, false, &error)) {
        std::cerr << "qlry set: " << error << "\n";
        return kExitUsage;
    }
    catalog.recompute();
    std::vector<CFileItem*> items = CItemArguments::itemsWithPath(catalog, args[1]);
    if (items.empty()) {
        std::cerr << "qlry set: not registered: " << args[1] << "\n";
        return kExitUsage;
    }
    for (CFileItem* item : items)
        fields.applyTo(*item);
    catalog.recompute();
    return CCatalogArgument::save(catalog, update);
}
