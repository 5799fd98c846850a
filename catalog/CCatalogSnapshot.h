#pragma once

// The stored state of a catalog at one moment: what assign copies (items' stored fields, path, reserved
// value, show flags, filter on, sort keys, filters, categories). Items are held as shared immutable records
// in chunks; a snapshot shares every chunk whose records did not change since the catalog's previous
// snapshot, so a snapshot costs a few kilobytes plus the chunks that changed.

#include <memory>
#include <string>
#include <vector>

#include "model/CCategory.h"
#include "model/CFileItem.h"
#include "search/CFilterArray.h"
#include "search/CSortArray.h"

class CFileCatalog;

class CCatalogSnapshot final {
public:
    static constexpr std::size_t kChunkSize = 256;
    using Chunk = std::vector<CItemRecord::Ptr>;

    // Takes the state of the catalog, sharing the unchanged chunks of `previous` when given.
    static CCatalogSnapshot take(const CFileCatalog& catalog, const CCatalogSnapshot* previous = nullptr);
    // Replaces the catalog's stored contents by this state (as assign does); recompute afterwards.
    void restore(CFileCatalog& catalog) const;

    std::size_t itemCount() const { return m_itemCount; }

private:
    std::vector<std::shared_ptr<const Chunk>> m_chunks;
    std::size_t m_itemCount = 0;
    std::string m_path;
    int m_reserved = 0;
    bool m_showName = true;
    bool m_showDate = true;
    bool m_showSize = true;
    bool m_filterOn = false;
    CSortArray m_sortKeys;
    CFilterArray m_filters;
    std::vector<CCategory> m_categories;
};
