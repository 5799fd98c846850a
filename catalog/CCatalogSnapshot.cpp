#include "catalog/CCatalogSnapshot.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "catalog/CFileCatalog.h"

namespace {

// Whether the chunk holds exactly the records of items [begin, end).
bool chunkMatches(const CCatalogSnapshot::Chunk& chunk, const CFileCatalog& catalog, std::size_t begin,
                  std::size_t end) {
    if (chunk.size() != end - begin) {
        return false;
    }
    for (std::size_t i = begin; i < end; ++i) {
        if (chunk[i - begin] != catalog.items()[i]->record()) {
            return false;
        }
    }
    return true;
}

}  // namespace

CCatalogSnapshot CCatalogSnapshot::take(const CFileCatalog& catalog, const CCatalogSnapshot* previous) {
    CCatalogSnapshot snapshot;
    const std::size_t count = catalog.m_items.size();
    snapshot.m_itemCount = count;
    snapshot.m_chunks.reserve((count + kChunkSize - 1) / kChunkSize);
    for (std::size_t begin = 0, c = 0; begin < count; begin += kChunkSize, ++c) {
        const std::size_t end = std::min(begin + kChunkSize, count);
        if (previous && c < previous->m_chunks.size() &&
            chunkMatches(*previous->m_chunks[c], catalog, begin, end)) {
            snapshot.m_chunks.push_back(previous->m_chunks[c]);
            continue;
        }
        auto chunk = std::make_shared<Chunk>();
        chunk->reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            chunk->push_back(catalog.m_items[i]->record());
        }
        snapshot.m_chunks.push_back(std::move(chunk));
    }
    snapshot.m_path = catalog.m_path;
    snapshot.m_reserved = catalog.m_reserved;
    snapshot.m_showName = catalog.m_showName;
    snapshot.m_showDate = catalog.m_showDate;
    snapshot.m_showSize = catalog.m_showSize;
    snapshot.m_filterOn = catalog.m_filterOn;
    snapshot.m_sortKeys = catalog.m_sortKeys;
    snapshot.m_filters = catalog.m_filters;
    for (const auto& category : catalog.m_categories) {
        snapshot.m_categories.push_back(category->copyStored());
    }
    return snapshot;
}

void CCatalogSnapshot::restore(CFileCatalog& catalog) const {
    // What the file system last said about each path carries over to the restored items, so that an item
    // whose file is missing keeps its last name, size, date and kind across undo and redo.
    std::unordered_map<std::string_view, const CFileItem*> known;
    known.reserve(catalog.m_items.size());
    for (const auto& item : catalog.m_items) {
        known.emplace(item->path(), item.get());
    }
    std::vector<std::unique_ptr<CFileItem>> items;
    items.reserve(m_itemCount);
    for (const auto& chunk : m_chunks) {
        for (const auto& record : *chunk) {
            auto item = std::make_unique<CFileItem>(record);
            if (auto found = known.find(item->path()); found != known.end()) {
                const CFileItem& before = *found->second;
                item->setDisplayName(before.displayName());
                item->setSize(before.size());
                item->setDate(before.date());
                item->setKind(before.kind());
            }
            items.push_back(std::move(item));
        }
    }
    catalog.m_displayed.clear();
    catalog.m_choiceLists.clear();
    catalog.m_items = std::move(items);
    catalog.m_path = m_path;
    catalog.m_reserved = m_reserved;
    catalog.m_showName = m_showName;
    catalog.m_showDate = m_showDate;
    catalog.m_showSize = m_showSize;
    catalog.m_filterOn = m_filterOn;
    catalog.m_sortKeys = m_sortKeys;
    catalog.m_filters = m_filters;
    catalog.m_categories.clear();
    for (const CCategory& category : m_categories) {
        catalog.m_categories.push_back(std::make_unique<CCategory>(category.copyStored()));
    }
}
