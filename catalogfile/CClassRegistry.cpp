#include "catalogfile/CClassRegistry.h"

#include <array>

#include "catalogfile/CatalogFormat.h"

using namespace catalog_format;

namespace {

constexpr std::array<CClassRegistry::Entry, 8> kEntries{{
    {ArchiveClass::Catalog, kCatalogClass, kSchema},
    {ArchiveClass::Filter, kFilterClass, kSchema},
    {ArchiveClass::FilterArray, kFilterArrayClass, kSchema},
    {ArchiveClass::SortKey, kSortKeyClass, kSchema},
    {ArchiveClass::SortArray, kSortArrayClass, kSchema},
    {ArchiveClass::Category, kCategoryClass, kSchema},
    {ArchiveClass::Item, kItemClass, kSchema},
    {ArchiveClass::TagArray, kTagArrayClass, kSchema},
}};

}  // namespace

std::optional<CClassRegistry::Entry> CClassRegistry::find(std::string_view name) {
    for (const Entry& e : kEntries) {
        if (e.name == name)
            return e;
    }
    return std::nullopt;
}

const CClassRegistry::Entry& CClassRegistry::entry(ArchiveClass id) {
    return kEntries[static_cast<std::size_t>(id)];
}
