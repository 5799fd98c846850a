#include "cli/CAddCommand.h"

#include <filesystem>
#include <iostream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogUpdate.h"
#include "cli/CCatalogArgument.h"
#include "cli/CItemArguments.h"
#include "cli/ExitCodes.h"

std::string CAddCommand::usage() const {
    return "usage: qlry add CATALOG PATH-OR-URL... [--set CATEGORY=VALUES]... [--title T] [--memo M]\n"
           "Registers each file, folder or URL as a new item (with a shortcut in the catalog folder when "
           "the\n"
           "catalog uses shortcuts), gives it the values, title and memo, and saves the catalog.\n"
           "  --set CATEGORY=VALUES  the value string of the category: values separated by \",\", a comma\n"
           "                         inside a value written \",,\"; a category is a name or #N\n"
           "  --title T              the item's title\n"
           "  --memo M               the item's memo\n";
}

int CAddCommand::run(const CCommandLine& line) {
    const std::vector<std::string>& args = line.positionals();
    if (args.size() < 2) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    CCatalogUpdate update;
    if (int status = CCatalogArgument::openForChange(args[0], catalog, update); status != kExitOk)
        return status;
    CItemArguments fields;
    std::string error;
    if (!fields.parse(catalog, line, true, &error)) {
        std::cerr << "qlry add: " << error << "\n";
        return kExitUsage;
    }
    std::vector<std::string> paths;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string path = CCatalogArgument::absolutePath(args[i]);
        std::error_code fsError;
        if (path.find("://") == std::string::npos && !std::filesystem::exists(path, fsError)) {
            std::cerr << "qlry add: no such file or folder: " << args[i] << "\n";
            return kExitUsage;
        }
        paths.push_back(path);
    }
    catalog.recompute();
    for (const std::string& path : paths) {
        std::unique_ptr<CFileItem> item = catalog.newItem(false);
        item->setPath(path, catalog.catalogFolder(), catalog.useShortcuts());
        fields.applyTo(*item);
        catalog.addItem(std::move(item));
    }
    catalog.recompute();
    return CCatalogArgument::save(catalog, update);
}
