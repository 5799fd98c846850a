#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CCommandLine.h"

class CFileCatalog;
class CFileItem;

// What add and set do to an item's fields: --set CATEGORY=VALUES (the whole value string of the category;
// values separated by ",", a comma inside a value written ",,"), --title and --memo.
class CItemArguments final {
public:
    // Checks the --set arguments against the catalog; false with *error set when a category is unknown.
    bool parse(const CFileCatalog& catalog, const CCommandLine& line, bool withTitleAndMemo,
               std::string* error);
    void applyTo(CFileItem& item) const;

    bool empty() const { return m_values.empty() && !m_title && !m_memo; }

    // The items whose path is the argument's path (absolute, or the URL itself).
    static std::vector<CFileItem*> itemsWithPath(CFileCatalog& catalog, const std::string& pathOrUrl);

private:
    std::vector<std::pair<int, std::string>> m_values;
    std::optional<std::string> m_title;
    std::optional<std::string> m_memo;
};
