#include "catalog/CFileCatalog.h"

#include <algorithm>

#include "catalog/CParallelHalves.h"
#include "model/CExtArray.h"
#include "platform/CUserInterface.h"
#include "search/CFileSearchCondition.h"
#include "text/Normalize.h"
#include "text/PathUtil.h"

CFileCatalog::CFileCatalog() = default;

void CFileCatalog::clear() {
    m_displayed.clear();
    m_items.clear();
    m_categories.clear();
    m_choiceLists.clear();
    m_path.clear();
    m_reserved = 0;
    m_showName = m_showDate = m_showSize = true;
    m_sortKeys.resetToDefault();
    m_filters.removeAll();
    m_filterOn = false;
    m_refreshTracker.reset();
    m_lostTargets.clear();
    m_sortKeyCache.clear();
}

void CFileCatalog::assign(const CFileCatalog& other) {
    if (&other == this) {
        return;
    }
    m_displayed.clear();
    m_items.clear();
    m_categories.clear();
    m_choiceLists.clear();
    m_items.reserve(other.m_items.size());
    for (const auto& item : other.m_items) {
        m_items.push_back(std::make_unique<CFileItem>(*item));
    }
    m_path = other.m_path;
    m_reserved = other.m_reserved;
    m_showName = other.m_showName;
    m_showDate = other.m_showDate;
    m_showSize = other.m_showSize;
    m_filterOn = other.m_filterOn;
    m_sortKeys.copyFrom(other.m_sortKeys);
    m_filters.copyFrom(other.m_filters);
    for (const auto& category : other.m_categories) {
        m_categories.push_back(std::make_unique<CCategory>(category->copyStored()));
    }
}

// ---- items ----

std::unique_ptr<CFileItem> CFileCatalog::newItem(bool prefill) const {
    auto item = std::make_unique<CFileItem>();
    std::vector<std::string> values(m_categories.size());
    if (prefill) {
        for (std::size_t i = 0; i < m_categories.size(); ++i) {
            if (m_categories[i]->isShownInPane()) {
                values[i] = CFileItem::joinValues(m_categories[i]->selection());
            }
        }
    }
    item->setValueStrings(std::move(values));
    return item;
}

CFileItem* CFileCatalog::addItem(std::unique_ptr<CFileItem> item) {
    m_items.push_back(std::move(item));
    return m_items.back().get();
}

std::unique_ptr<CFileItem> CFileCatalog::removeItem(CFileItem* item) {
    const auto found =
        std::find_if(m_items.begin(), m_items.end(),
                     [item](const std::unique_ptr<CFileItem>& owned) { return owned.get() == item; });
    if (found == m_items.end()) {
        return nullptr;
    }
    item->deleteShortcutFile(catalogFolder());
    std::unique_ptr<CFileItem> removed = std::move(*found);
    m_items.erase(found);
    // The displayed list must not keep a pointer to an item the catalog no longer owns.
    std::erase(m_displayed, item);
    return removed;
}

void CFileCatalog::setItems(std::vector<std::unique_ptr<CFileItem>> items) {
    m_displayed.clear();
    m_items = std::move(items);
}

int CFileCatalog::indexOf(const CFileItem* item) const {
    const auto found = std::find(m_displayed.begin(), m_displayed.end(), item);
    return found == m_displayed.end() ? -1 : static_cast<int>(found - m_displayed.begin());
}

// ---- categories ----

std::vector<std::string> CFileCatalog::categoryNames() const {
    std::vector<std::string> names;
    for (const auto& category : m_categories) {
        names.push_back(category->name());
    }
    return names;
}

CCategory& CFileCatalog::addCategory(std::string_view name) {
    m_categories.push_back(std::make_unique<CCategory>(name));
    for (auto& item : m_items) {
        item->addCategorySlot();
    }
    m_sortKeys.add(categoryCount() - 1);
    return *m_categories.back();
}

void CFileCatalog::appendStoredCategory(CCategory category) {
    m_categories.push_back(std::make_unique<CCategory>(std::move(category)));
}

void CFileCatalog::removeCategory(int i) {
    if (i < 0 || i >= categoryCount()) {
        return;
    }
    m_categories.erase(m_categories.begin() + i);
    for (auto& item : m_items) {
        item->removeCategorySlot(i);
    }
    m_sortKeys.categoryRemoved(i);
    m_filters.categoryRemoved(i);
}

void CFileCatalog::exchangeCategories(int i, int j) {
    if (i < 0 || j < 0 || i >= categoryCount() || j >= categoryCount() || i == j) {
        return;
    }
    std::swap(m_categories[static_cast<std::size_t>(i)], m_categories[static_cast<std::size_t>(j)]);
    for (auto& item : m_items) {
        item->exchangeSlots(i, j);
    }
    m_sortKeys.categoriesExchanged(i, j);
    m_filters.categoriesExchanged(i, j);
}

void CFileCatalog::renameValueEverywhere(int i, std::string_view oldText, std::string_view newText) {
    for (auto& item : m_items) {
        // Items without the value keep their value string (and their shared record) untouched.
        if (item->hasValue(i, oldText, false)) {
            item->renameValue(i, oldText, newText);
        }
    }
}

int CFileCatalog::shownCategoryCount() const {
    return static_cast<int>(std::count_if(m_categories.begin(), m_categories.end(),
                                          [](const auto& category) { return category->isShownInPane(); }));
}

int CFileCatalog::shownCategory(int k) const {
    int seen = 0;
    for (int i = 0; i < categoryCount(); ++i) {
        if (category(i).isShownInPane() && seen++ == k) {
            return i;
        }
    }
    CUserInterface::current().message("エラー：カテゴリインデックス取得不可", MessageIcon::Error);
    return -1;
}

bool CFileCatalog::setShownInPane(int i, bool shown) {
    if (i < 0 || i >= categoryCount()) {
        return false;
    }
    CCategory& target = category(i);
    if (!shown && target.isShownInPane() && shownCategoryCount() == 1) {
        CUserInterface::current().message("エラー：最低一つのカテゴリ表示が必要です", MessageIcon::Error);
        return false;
    }
    target.setFlags(shown ? target.flags() & ~CCategory::kHiddenInPane
                          : target.flags() | CCategory::kHiddenInPane);
    return true;
}

int CFileCatalog::gridCategoryCount() const {
    return static_cast<int>(std::count_if(m_categories.begin(), m_categories.end(),
                                          [](const auto& category) { return category->isGridColumn(); }));
}

int CFileCatalog::shownFixedColumns() const {
    return static_cast<int>(m_showName) + static_cast<int>(m_showDate) + static_cast<int>(m_showSize);
}

void CFileCatalog::buildChoiceLists() {
    m_choiceLists.clear();
    for (const auto& category : m_categories) {
        std::string list;
        for (const std::string& value : category->values()) {
            list += value;
            list += '\n';
        }
        m_choiceLists.push_back(std::move(list));
    }
}

// ---- the catalog file and folder ----

std::string CFileCatalog::catalogFolder() const {
    return jtext::folderOf(m_path);
}

std::string CFileCatalog::catalogName() const {
    const std::size_t slash = m_path.rfind('/');
    std::string name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) {
        name.resize(dot);
    }
    return name;
}

std::string CFileCatalog::parentFolder() const {
    return jtext::folderOf(catalogFolder());
}

// ---- recompute ----

void CFileCatalog::recompute() {
    rebuild(true);
}

void CFileCatalog::recomputeWithoutRefresh() {
    rebuild(false);
}

void CFileCatalog::rebuild(bool refresh) {
    m_displayed.clear();
    m_displayed.reserve(m_items.size());
    for (auto& item : m_items) {
        m_displayed.push_back(item.get());
    }
    narrowByCategories();
    if (refresh) {
        refreshDisplayed();
    }
    applyFilters();
    sort();
    buildChoiceLists();
}

// Every stamp array gets room for every value number, and some to spare.
void CFileCatalog::growStamps() {
    const std::size_t interned = CValueInterner::instance().size();
    const std::size_t stampSize = interned + interned / 2 + 16;
    if (m_stamp.size() < interned) {
        m_stamp.resize(stampSize, 0);
    }
    for (std::vector<std::uint32_t>& stamps : m_valueStamps) {
        if (stamps.size() < interned) {
            stamps.resize(stampSize, 0);
        }
    }
}

std::uint32_t CFileCatalog::nextStampEpoch() {
    if (++m_stampEpoch == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        for (std::vector<std::uint32_t>& stamps : m_valueStamps) {
            std::fill(stamps.begin(), stamps.end(), 0);
        }
        m_stampEpoch = 1;
    }
    return m_stampEpoch;
}

// The shown categories narrow from left to right, each collecting its values from the items the ones before
// it let through. One walk over the displayed items collects the values of the categories still to come, up
// to the next one with a selection; the items are walked again only after that. With nothing selected (a
// catalog just opened, a click on "全て") every category is served by one walk. An item whose record holds
// the numbers of its values (built when a selection tested it) is walked by them; any other by its value
// strings, numbered through the catalog's memo, so that opening a catalog numbers no record.
void CFileCatalog::narrowByCategories() {
    std::vector<int> shown;
    for (int i = 0; i < categoryCount(); ++i) {
        if (category(i).isShownInPane()) {
            shown.push_back(i);
        }
    }
    m_valueStamps.resize(std::max(m_valueStamps.size(), shown.size()));
    growStamps();
    std::vector<std::vector<CValueInterner::Id>> collected(shown.size());
    std::size_t from = 0;
    while (from < shown.size()) {
        // A walk ends with the first category that has a selection: it is likely to remove items.
        std::size_t end = from;
        while (end < shown.size() && category(shown[end]).selection().empty()) {
            ++end;
        }
        end = std::min(end + 1, shown.size());
        const std::uint32_t epoch = nextStampEpoch();
        for (const CFileItem* item : m_displayed) {
            const CItemRecord& record = *item->record();
            const bool numbered = record.valuesNumbered();
            for (std::size_t k = from; k < end; ++k) {
                const auto category = static_cast<std::size_t>(shown[k]);
                auto collect = [&](CValueInterner::Id id) {
                    std::vector<std::uint32_t>& stamps = m_valueStamps[k];
                    if (id >= stamps.size() || id >= m_stamp.size()) {
                        growStamps();  // a value not seen before; the narrowing marks it in m_stamp too
                    }
                    if (stamps[id] != epoch) {
                        stamps[id] = epoch;
                        collected[k].push_back(id);
                    }
                };
                if (numbered) {
                    for (const CValueInterner::Id id : record.valueIds(category)) {
                        collect(id);
                    }
                } else {
                    CItemRecord::forEachValue(record.value(category), [&](std::string_view text) {
                        collect(m_valueIdCache.intern(text));
                    });
                }
            }
        }
        std::size_t k = from;
        for (; k < end; ++k) {
            const std::size_t before = m_displayed.size();
            narrowByCategory(shown[k], std::move(collected[k]), m_valueStamps[k], epoch);
            if (m_displayed.size() != before) {
                break;  // the categories after this one collect again from the items left
            }
        }
        for (std::size_t later = k + 1; later < end; ++later) {
            collected[later].clear();
        }
        from = std::min(k + 1, end);
    }
}

// Narrowing by one category works on value numbers: `stamps` marks with `collected` the values the displayed
// items carry (gathered in `ids`, in order of appearance), so checking the selection costs a look-up in an
// array per value.
void CFileCatalog::narrowByCategory(int i, std::vector<CValueInterner::Id> ids,
                                    const std::vector<std::uint32_t>& stamps, std::uint32_t collected) {
    CCategory& target = category(i);
    CValueInterner& interner = CValueInterner::instance();

    // The values sorted with every folding; the same collection as last time gives the same sorted list.
    if (m_valuesCache.size() < m_categories.size()) {
        m_valuesCache.resize(m_categories.size());
    }
    ValuesCache& cache = m_valuesCache[static_cast<std::size_t>(i)];
    if (cache.ids != ids || cache.sorted.size() != ids.size()) {
        std::vector<std::string> values;
        values.reserve(ids.size());
        for (const CValueInterner::Id id : ids) {
            values.push_back(interner.text(id));
        }
        jtext::normalizedSort(values, jtext::kNormAll);
        cache.ids = std::move(ids);
        cache.sorted = std::move(values);
    }
    target.setValues(cache.sorted);

    // The selection keeps only values still offered.
    std::vector<std::string> selection;
    for (const std::string& selected : target.selection()) {
        const auto id = interner.find(selected);
        if (id && *id < stamps.size() && stamps[*id] == collected) {
            selection.push_back(selected);
        }
    }
    target.setSelection(selection);
    if (selection.empty()) {
        return;
    }

    // Keep the items that carry a selected value; a selected "" lets any item with a value through.
    const std::uint32_t selected = nextStampEpoch();
    bool anyValue = false;
    for (const std::string& text : selection) {
        anyValue = anyValue || text.empty();
        m_stamp[*interner.find(text)] = selected;
    }
    std::erase_if(m_displayed, [&](const CFileItem* item) {
        if (item->valueString(i).empty()) {
            return true;
        }
        if (anyValue) {
            return false;
        }
        for (const CValueInterner::Id id : item->valueIdsOf(i)) {
            if (m_stamp[id] == selected) {
                return false;
            }
        }
        return true;
    });
}

void CFileCatalog::forgetFileState() {
    m_refreshTracker.invalidateAll();
    m_lostTargets.clear();
}

void CFileCatalog::setWatchFiles(bool watch) {
    m_watchFiles = watch;
    if (!watch) {
        m_refreshTracker.reset();
    }
}

// Items whose folders are watched and saw no event since they were read are left as they are; every other
// displayed item is read again (see CRefreshTracker).
void CFileCatalog::refreshDisplayed() {
    const std::string folder = catalogFolder();
    if (!m_watchFiles && !m_useShortcuts) {
        refreshDisplayedInHalves(folder);
        return;
    }
    if (!m_watchFiles) {
        for (CFileItem* item : m_displayed) {
            item->refresh(folder, m_useShortcuts, m_readOnly, &m_lostTargets);
        }
        return;
    }
    m_refreshTracker.beginRecompute(folder, m_useShortcuts);
    for (CFileItem* item : m_displayed) {
        if (m_refreshTracker.isCurrent(*item)) {
            continue;
        }
        m_refreshTracker.prepare(*item);
        const bool found = item->refresh(folder, m_useShortcuts, m_readOnly, &m_lostTargets);
        m_refreshTracker.noteRefreshed(*item, found);
    }
}

// Without shortcuts and watches, reading an item touches nothing but the item and the file system, so a large
// catalog is read on two threads. An item whose relative path must be resolved may have to tell the user
// that it climbs above the root; those are read afterwards, on this thread.
void CFileCatalog::refreshDisplayedInHalves(const std::string& folder) {
    constexpr std::size_t kItemsWorthAThread = 4096;
    auto readAnywhere = [](const CFileItem& item) {
        return item.isUrl() || item.path().empty() || jtext::isAbsolutePath(item.path());
    };
    CParallelHalves::run(m_displayed.size(), kItemsWorthAThread, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            if (readAnywhere(*m_displayed[i])) {
                m_displayed[i]->refresh(folder, false, m_readOnly);
            }
        }
    });
    for (CFileItem* item : m_displayed) {
        if (!readAnywhere(*item)) {
            item->refresh(folder, false, m_readOnly);
        }
    }
}

void CFileCatalog::applyFilters() {
    if (m_filterOn && !m_filters.isEmpty()) {
        m_filters.apply(m_displayed, &CExtArray::textFiles());
    }
}

void CFileCatalog::setPrimaryAndSort(int key, bool ascending) {
    m_sortKeys.setPrimary(key, ascending);
    sort();
}

// ---- searches ----

int CFileCatalog::findItem(int start, int direction, int i, std::string_view text) const {
    const int step = direction > 0 ? 1 : -1;
    for (int k = start; k >= 0 && k < displayedCount(); k += step) {
        const CFileItem& item = *m_displayed[static_cast<std::size_t>(k)];
        if (text.empty() ? item.valueString(i).empty() : item.hasValue(i, text, false)) {
            return k;
        }
    }
    return -1;
}

int CFileCatalog::findByCondition(int start, int direction, CFileSearchCondition& condition,
                                  const SearchProgress& progress) const {
    const int step = direction > 0 ? 1 : -1;
    for (int k = start; k >= 0 && k < displayedCount(); k += step) {
        if (progress && !progress(k)) {
            return -1;
        }
        if (condition.matches(*m_displayed[static_cast<std::size_t>(k)])) {
            return k;
        }
    }
    return -1;
}

int CFileCatalog::findForward(int start, CFileSearchCondition& condition, const SearchProgress& progress) const {
    return findByCondition(std::max(start, 0), 1, condition, progress);
}

int CFileCatalog::findBackward(int start, CFileSearchCondition& condition, const SearchProgress& progress) const {
    return findByCondition(std::min(start, displayedCount() - 1), -1, condition, progress);
}

// ---- relative paths ----

void CFileCatalog::makePathsRelative() {
    const std::string folder = catalogFolder();
    for (auto& item : m_items) {
        item->makeRelative(folder);
    }
}
