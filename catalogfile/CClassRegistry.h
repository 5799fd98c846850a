#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The classes a catalog file may name in a new-class tag, each with its one valid schema.
enum class ArchiveClass { Catalog, Filter, FilterArray, SortKey, SortArray, Category, Item, TagArray };

class CClassRegistry final {
public:
    struct Entry {
        ArchiveClass id;
        std::string_view name;
        std::uint16_t schema;
    };

    // The registered class of that name, or nullopt.
    static std::optional<Entry> find(std::string_view name);
    static const Entry& entry(ArchiveClass id);
};
