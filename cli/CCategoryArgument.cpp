#include "cli/CCategoryArgument.h"

#include "catalog/CFileCatalog.h"

int CCategoryArgument::findCategory(const CFileCatalog& catalog, std::string_view nameOrIndex) {
    for (int i = 0; i < catalog.categoryCount(); ++i) {
        if (catalog.categoryName(i) == nameOrIndex)
            return i;
    }
    if (nameOrIndex.size() < 2 || nameOrIndex[0] != '#' || nameOrIndex.size() > 4)
        return -1;
    int index = 0;
    for (char c : nameOrIndex.substr(1)) {
        if (c < '0' || c > '9')
            return -1;
        index = index * 10 + (c - '0');
    }
    return index < catalog.categoryCount() ? index : -1;
}

bool CCategoryArgument::parse(const CFileCatalog& catalog, std::string_view argument, std::string* error) {
    std::size_t equals = argument.find('=');
    if (equals == std::string_view::npos) {
        *error = "expected CATEGORY=VALUE, got \"" + std::string(argument) + "\"";
        return false;
    }
    std::string_view category = argument.substr(0, equals);
    m_categoryIndex = findCategory(catalog, category);
    if (m_categoryIndex < 0) {
        *error = "no category \"" + std::string(category) + "\"";
        return false;
    }
    m_valueText = argument.substr(equals + 1);
    return true;
}
