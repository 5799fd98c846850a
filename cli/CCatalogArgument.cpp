#include "cli/CCatalogArgument.h"

#include <filesystem>
#include <iostream>

#include "cli/ExitCodes.h"
#include "model/CCatalogFile.h"
#include "model/CFileCatalog.h"

std::string CCatalogArgument::absolutePath(const std::string& path) {
    if (path.find("://") != std::string::npos)
        return path;
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    std::string text = absolute.string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

int CCatalogArgument::open(const std::string& path, CFileCatalog& catalog) {
    catalog.setWatchFiles(false);  // a command recomputes once: nothing would use the watches
    std::optional<CCatalogFileError> error = CCatalogFile::read(catalog, absolutePath(path), false);
    if (!error)
        return kExitOk;
    std::cerr << error->userMessage() << "\n";
    if (error->isFormatError()) {
        std::cerr << path << ": " << error->describe() << "\n";
        return kExitMalformedCatalog;
    }
    return kExitUsage;
}

int CCatalogArgument::save(CFileCatalog& catalog) {
    std::optional<CCatalogFileError> error = CCatalogFile::write(catalog, catalog.path());
    if (!error)
        return kExitOk;
    std::cerr << error->userMessage() << "\n";
    return kExitUsage;
}
