#include "cli/CDisplayOptions.h"

#include "catalog/CFileCatalog.h"
#include "cli/CCategoryArgument.h"

std::vector<CCommandLine::OptionSpec> CDisplayOptions::optionSpecs() {
    return {{"select", true}, {"all", false}, {"filter", false}, {"json", false}};
}

std::string CDisplayOptions::helpText() {
    return "  --select CATEGORY=VALUE[,VALUE...]\n"
           "                 replace the stored selection of the category (CATEGORY= clears it);\n"
           "                 a comma inside a value is written ,,\n"
           "  --all          clear every stored selection first\n"
           "  --filter       apply the catalog's filter conditions\n"
           "  --json         print JSON\n";
}

CDisplayOptions CDisplayOptions::fromCommandLine(const CCommandLine& line) {
    CDisplayOptions options;
    options.m_selects = line.values("select");
    options.m_all = line.has("all");
    options.m_filter = line.has("filter");
    options.m_json = line.has("json");
    return options;
}

bool CDisplayOptions::applyAndRecompute(CFileCatalog& catalog, std::string* error) const {
    if (m_all) {
        for (int i = 0; i < catalog.categoryCount(); ++i)
            catalog.setSelection(i, {});
    }
    for (const std::string& select : m_selects) {
        CCategoryArgument argument;
        if (!argument.parse(catalog, select, error))
            return false;
        std::vector<std::string> values;
        if (!argument.valueText().empty())
            values = CFileItem::splitValues(argument.valueText());
        catalog.setSelection(argument.categoryIndex(), std::move(values));
    }
    if (m_filter)
        catalog.setFilterOn(true);
    catalog.recompute();
    return true;
}
