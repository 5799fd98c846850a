#include "cli/CCatalogArgument.h"

#include <filesystem>
#include <iostream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "catalogfile/CCatalogUpdate.h"
#include "cli/ExitCodes.h"

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

namespace {

int statusOfOpen(const std::string& path, const std::optional<CCatalogFileError>& error) {
    if (!error)
        return kExitOk;
    std::cerr << error->userMessage() << "\n";
    if (error->isFormatError()) {
        std::cerr << path << ": " << error->describe() << "\n";
        return kExitMalformedCatalog;
    }
    return kExitUsage;
}

int statusOfSave(const std::optional<CCatalogFileError>& error) {
    if (!error)
        return kExitOk;
    std::cerr << error->userMessage() << "\n";
    if (!error->isFormatError() && error->fileError().kind() == FileErrorKind::ChangedOnDisk)
        std::cerr << "qlry: " << error->describe() << "\n";
    return kExitUsage;
}

}  // namespace

int CCatalogArgument::open(const std::string& path, CFileCatalog& catalog) {
    catalog.setReadOnly(true);
    catalog.setWatchFiles(false);  // a command recomputes once: nothing would use the watches
    return statusOfOpen(path, CCatalogFile::read(catalog, absolutePath(path), false));
}

int CCatalogArgument::openForChange(const std::string& path, CFileCatalog& catalog, CCatalogUpdate& update) {
    catalog.setWatchFiles(false);
    return statusOfOpen(path, update.open(catalog, absolutePath(path)));
}

int CCatalogArgument::save(CFileCatalog& catalog) {
    return statusOfSave(CCatalogFile::write(catalog, catalog.path()));
}

int CCatalogArgument::save(CFileCatalog& catalog, CCatalogUpdate& update) {
    return statusOfSave(update.save(catalog));
}
