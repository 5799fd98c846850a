#include "cli/CItemArguments.h"

#include "catalog/CFileCatalog.h"
#include "cli/CCatalogArgument.h"
#include "cli/CCategoryArgument.h"

bool CItemArguments::parse(const CFileCatalog& catalog, const CCommandLine& line, bool withTitleAndMemo,
                           std::string* error) {
    for (const std::string& set : line.values("set")) {
        CCategoryArgument argument;
        if (!argument.parse(catalog, set, error))
            return false;
        m_values.emplace_back(argument.categoryIndex(), argument.valueText());
    }
    if (withTitleAndMemo) {
        m_title = line.value("title");
        m_memo = line.value("memo");
    }
    return true;
}

void CItemArguments::applyTo(CFileItem& item) const {
    for (const auto& [category, text] : m_values)
        item.setValueString(category, text);
    if (m_title)
        item.setTitle(*m_title);
    if (m_memo)
        item.setMemo(*m_memo);
}

std::vector<CFileItem*> CItemArguments::itemsWithPath(CFileCatalog& catalog, const std::string& pathOrUrl) {
    const std::string wanted = CCatalogArgument::absolutePath(pathOrUrl);
    const std::string folder = catalog.catalogFolder();
    std::vector<CFileItem*> found;
    for (int i = 0; i < catalog.itemCount(); ++i) {
        CFileItem& item = catalog.item(i);
        if (item.path() == wanted || (!item.isUrl() && item.resolve(folder) == wanted))
            found.push_back(&item);
    }
    return found;
}
