#include "search/CTextFileSearch.h"

#include "model/CExtArray.h"
#include "model/CFileItem.h"

std::int64_t CTextFileSearch::find(const CFileItem& item, std::string_view text,
                                   const CExtArray& textFileExtensions) {
    if (item.kind() == ItemKind::Url || item.isUrl() || !textFileExtensions.contains(item.extension())) {
        return -1;
    }
    return findInFile(item.path(), text);
}

std::int64_t CTextFileSearch::findInFile(const std::string&, std::string_view) {
    return -1;
}
