#include "cli/CInfoCommand.h"

#include <iostream>

#include "catalog/CFileCatalog.h"
#include "cli/CCatalogArgument.h"
#include "cli/CJsonWriter.h"
#include "cli/ExitCodes.h"

namespace {

void writeJson(const CFileCatalog& catalog) {
    CJsonWriter json;
    json.beginObject();
    json.key("path");
    json.value(catalog.path());
    json.key("reserved");
    json.value(catalog.reserved());
    json.key("show_name");
    json.value(catalog.showName() ? 1 : 0);
    json.key("show_date");
    json.value(catalog.showDate() ? 1 : 0);
    json.key("show_size");
    json.value(catalog.showSize() ? 1 : 0);
    json.key("use_shortcuts");
    json.value(catalog.useShortcuts() ? 1 : 0);
    json.key("relative_paths");
    json.value(catalog.relativePaths() ? 1 : 0);
    json.key("categories");
    json.beginArray();
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        const CCategory& category = catalog.category(i);
        json.beginObject();
        json.key("name");
        json.value(category.name());
        json.key("list_width");
        json.value(category.listWidth());
        json.key("column_width");
        json.value(category.columnWidth());
        json.key("flags");
        json.value(static_cast<std::int64_t>(category.flags()));
        json.key("selection");
        json.stringArray(category.selection());
        json.endObject();
    }
    json.endArray();
    json.key("sort_keys");
    json.beginArray();
    for (const CSortItem& key : catalog.sortKeys().keys()) {
        json.beginObject();
        json.key("key");
        json.value(key.key());
        json.key("ascending");
        json.value(key.ascending() ? 1 : 0);
        json.endObject();
    }
    json.endArray();
    json.key("filters");
    json.beginArray();
    for (const CItemFilter& filter : catalog.filters().filters()) {
        json.beginObject();
        json.key("target");
        json.value(filter.target());
        json.key("value");
        json.value(filter.valueText());
        json.key("operator");
        json.value(filter.operatorIndex());
        json.key("conjunction");
        json.value(filter.conjunction());
        json.endObject();
    }
    json.endArray();
    json.key("item_count");
    json.value(catalog.itemCount());
    json.endObject();
    std::cout << json.text() << "\n";
}

std::string joined(const std::vector<std::string>& strings) {
    std::string text;
    for (const std::string& s : strings)
        text += (text.empty() ? "" : ", ") + ("\"" + s + "\"");
    return "[" + text + "]";
}

void writeText(const CFileCatalog& catalog) {
    std::cout << "path: " << catalog.path() << "\n"
              << "reserved: " << catalog.reserved() << "\n"
              << "show name, date, size: " << catalog.showName() << " " << catalog.showDate() << " "
              << catalog.showSize() << "\n"
              << "use shortcuts: " << catalog.useShortcuts() << "\n"
              << "relative paths: " << catalog.relativePaths() << "\n"
              << "categories: " << catalog.categoryCount() << "\n";
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        const CCategory& category = catalog.category(i);
        std::cout << "  #" << i << " " << category.name() << "\tlist width " << category.listWidth()
                  << ", column width " << category.columnWidth() << ", flags " << category.flags()
                  << ", selection " << joined(category.selection()) << "\n";
    }
    std::cout << "sort keys:";
    for (const CSortItem& key : catalog.sortKeys().keys()) {
        std::cout << " " << key.key() << (key.ascending() ? "+" : "-");
    }
    std::cout << "\nfilters: " << catalog.filters().count() << "\n";
    for (int i = 0; i < catalog.filters().count(); ++i) {
        std::cout << "  " << catalog.filters().at(i).conditionLine(i == 0, catalog.categoryNames()) << "\n";
    }
    std::cout << "items: " << catalog.itemCount() << "\n";
}

}  // namespace

std::string CInfoCommand::usage() const {
    return "usage: qlry info CATALOG [--json]\n"
           "Shows the stored fields of the catalog: options, categories, sort keys, filters, item count.\n"
           "  --json         print JSON\n";
}

int CInfoCommand::run(const CCommandLine& line) {
    if (line.positionals().size() != 1) {
        std::cerr << usage();
        return kExitUsage;
    }
    CFileCatalog catalog;
    if (int status = CCatalogArgument::open(line.positionals()[0], catalog); status != kExitOk)
        return status;
    if (line.has("json")) {
        writeJson(catalog);
    } else {
        writeText(catalog);
    }
    return kExitOk;
}
