#pragma once

#include <string>
#include <string_view>

class CFileCatalog;

// An argument "CATEGORY=TEXT" (for --select and --set) or a bare category. A category is named by its
// name, or by "#N" for index N when no category has that name.
class CCategoryArgument final {
public:
    // The category's index, or -1 when none is found.
    static int findCategory(const CFileCatalog& catalog, std::string_view nameOrIndex);

    // Splits at the first "=" and finds the category; false with *error set when there is no "=" or no
    // such category.
    bool parse(const CFileCatalog& catalog, std::string_view argument, std::string* error);

    int categoryIndex() const { return m_categoryIndex; }
    const std::string& valueText() const { return m_valueText; }

private:
    int m_categoryIndex = -1;
    std::string m_valueText;
};
