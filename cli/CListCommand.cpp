#include "cli/CListCommand.h"

#include <iostream>
#include <string>

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"
#include "cli/CCatalogArgument.h"
#include "cli/CDisplayOptions.h"
#include "cli/CJsonWriter.h"
#include "cli/ExitCodes.h"

namespace {

void writeJson(const CFileCatalog& catalog) {
    CJsonWriter json;
    json.beginArray();
    for (const CFileItem* item : catalog.displayedItems()) {
        json.beginObject();
        json.key("name");
        json.value(item->displayName());
        json.key("title");
        json.value(item->title());
        json.key("memo");
        json.value(item->memo());
        json.key("path");
        json.value(item->path());
        json.key("kind");
        json.value(static_cast<int>(item->kind()));
        json.key("size");
        json.value(item->size());
        json.key("date");
        json.value(CItemTexts::date(item->date(), DateStyle::Export));
        json.key("values");
        json.stringArray(item->valueStrings().toVector());
        json.endObject();
    }
    json.endArray();
    std::cout << json.text() << "\n";
}

// One line per item: name, path, then the value strings, separated by tabs. The lines are gathered in a
// block that is written whenever it fills, so a million items cost a few hundred writes, not millions of
// stream operations.
void writeText(const CFileCatalog& catalog) {
    constexpr std::size_t kBlock = 1 << 16;
    std::string block;
    block.reserve(kBlock + 4096);
    for (const CFileItem* item : catalog.displayedItems()) {
        block += item->displayName();
        block += '\t';
        block += item->path();
        for (const std::string_view value : item->valueStrings()) {
            block += '\t';
            block += value;
        }
        block += '\n';
        if (block.size() >= kBlock) {
            std::cout.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    std::cout.write(block.data(), static_cast<std::streamsize>(block.size()));
}

}  // namespace

std::string CListCommand::usage() const {
    return "usage: qlry list CATALOG [--select CATEGORY=VALUE[,VALUE...]]... [--all] [--filter] [--json]\n"
           "Lists the items the catalog displays after the recompute, in display order: one line per item\n"
           "with the name, the path and the value strings, separated by tabs. A category is named by its\n"
           "name or by #N for index N.\n" +
           CDisplayOptions::helpText();
}

std::vector<CCommandLine::OptionSpec> CListCommand::options() const {
    return CDisplayOptions::optionSpecs();
}

int CListCommand::run(const CCommandLine& line) {
    if (line.positionals().size() != 1) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    if (int status = CCatalogArgument::open(line.positionals()[0], catalog); status != kExitOk)
        return status;
    CDisplayOptions display = CDisplayOptions::fromCommandLine(line);
    std::string error;
    if (!display.applyAndRecompute(catalog, &error)) {
        std::cerr << "qlry list: " << error << "\n";
        return kExitUsage;
    }
    if (display.json()) {
        writeJson(catalog);
    } else {
        writeText(catalog);
    }
    return kExitOk;
}
