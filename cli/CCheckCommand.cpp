#include "cli/CCheckCommand.h"

#include <filesystem>
#include <iostream>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"
#include "cli/CCatalogArgument.h"
#include "cli/CJsonWriter.h"
#include "cli/ExitCodes.h"
#include "platform/CShellLink.h"

namespace {

// Whether the item's file or folder is there, found through its shortcut when the catalog uses them. The
// catalog folder is only read: nothing is created or repaired.
bool isPresent(const CFileItem& item, const CFileCatalog& catalog) {
    const std::string folder = catalog.catalogFolder();
    std::error_code error;
    if (catalog.useShortcuts() && CFileItem::isPlainFileName(item.shortcutName())) {
        if (std::optional<CShellLink> link =
                CShellLink::load(folder + "/" + std::string(item.shortcutName()))) {
            if (link->resolve(folder))
                return true;
        }
    }
    return std::filesystem::exists(item.resolve(folder), error);
}

std::vector<const CFileItem*> missingItems(const CFileCatalog& catalog) {
    std::vector<const CFileItem*> missing;
    for (const auto& item : catalog.items()) {
        if (!item->isUrl() && !isPresent(*item, catalog))
            missing.push_back(item.get());
    }
    return missing;
}

void writeMalformed(const std::string& path, const CArchiveError& error, bool json) {
    if (json) {
        CJsonWriter out;
        out.beginObject();
        out.key("ok");
        out.value(false);
        out.key("kind");
        out.value(CArchiveError::kindName(error.kind()));
        out.key("offset");
        out.value(static_cast<std::uint64_t>(error.offset()));
        out.key("detail");
        out.value(error.detail());
        out.endObject();
        std::cout << out.text() << "\n";
    } else {
        std::cout << path << ": " << error.describe() << "\n";
    }
}

void writeReport(const CFileCatalog& catalog, bool withFiles, bool json) {
    std::vector<const CFileItem*> missing;
    if (withFiles)
        missing = missingItems(catalog);
    if (json) {
        CJsonWriter out;
        out.beginObject();
        out.key("ok");
        out.value(true);
        out.key("item_count");
        out.value(catalog.itemCount());
        if (withFiles) {
            out.key("missing");
            out.beginArray();
            for (const CFileItem* item : missing)
                out.value(item->path());
            out.endArray();
        }
        out.endObject();
        std::cout << out.text() << "\n";
        return;
    }
    std::cout << catalog.path() << ": ok, " << catalog.itemCount() << " items, " << catalog.categoryCount()
              << " categories\n";
    for (const CFileItem* item : missing)
        std::cout << "missing: " << item->path() << "\n";
}

}  // namespace

std::string CCheckCommand::usage() const {
    return "usage: qlry check CATALOG [--files] [--json]\n"
           "Reads the catalog file. A malformed file is reported with the kind of fault and its byte offset\n"
           "(exit status 1).\n"
           "  --files        also list the items whose file or folder is missing\n"
           "  --json         print JSON\n";
}

int CCheckCommand::run(const CCommandLine& line) {
    if (line.positionals().size() != 1) {
        std::cerr << usage();
        return kExitUsage;
    }
    const std::string path = CCatalogArgument::absolutePath(line.positionals()[0]);
    CFileCatalog catalog;
    std::optional<CCatalogFileError> error = CCatalogFile::read(catalog, path, false);
    if (error && !error->isFormatError()) {
        std::cerr << error->userMessage() << "\n";
        return kExitUsage;
    }
    if (error) {
        std::cerr << error->userMessage() << "\n";
        writeMalformed(path, error->formatError(), line.has("json"));
        return kExitMalformedCatalog;
    }
    writeReport(catalog, line.has("files"), line.has("json"));
    return kExitOk;
}
