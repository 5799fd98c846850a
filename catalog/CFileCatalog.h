#pragma once

// A catalog in memory: its items in registration order, up to ten categories, the sort keys and filter
// conditions, the stored options, and the derived state that the recompute step rebuilds (the displayed
// items, every category's values list and the choice lists).
//
// The catalog owns its items and categories; the displayed list and every view only borrow them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CRefreshTracker.h"
#include "model/CCategory.h"
#include "model/CFileItem.h"
#include "model/CLostLinkTargets.h"
#include "model/CValueIdCache.h"
#include "search/CFilterArray.h"
#include "search/CSortArray.h"
#include "search/CSortKeyCache.h"

class CFileSearchCondition;

class CFileCatalog final {
public:
    static constexpr int kMaxCategories = 10;
    static constexpr std::string_view kExtension = ".qlry";

    CFileCatalog();
    CFileCatalog(const CFileCatalog&) = delete;
    CFileCatalog& operator=(const CFileCatalog&) = delete;

    // Deletes items and categories, empties the displayed list, path "", reserved 0, show flags 1, default
    // sort keys, no filters, filter off.
    void clear();
    // Replaces this catalog's stored contents by a copy of another's: items (copy construction), path,
    // reserved value, show flags, filter on, sort keys, filters and categories. The displayed list and the
    // values lists stay empty until the next recompute.
    void assign(const CFileCatalog& other);

    // ---- items ----
    int itemCount() const { return static_cast<int>(m_items.size()); }
    CFileItem& item(int i) { return *m_items[static_cast<std::size_t>(i)]; }
    const CFileItem& item(int i) const { return *m_items[static_cast<std::size_t>(i)]; }
    const std::vector<std::unique_ptr<CFileItem>>& items() const { return m_items; }
    // A new item with one empty value string per category; with prefill, each category shown in the pane
    // gets its selection joined with ",". Not yet added.
    std::unique_ptr<CFileItem> newItem(bool prefill) const;
    // Appends the item (the caller then recomputes) and returns it.
    CFileItem* addItem(std::unique_ptr<CFileItem> item);
    // Removes the item: its shortcut file is deleted and it leaves the items and the displayed list. Gives
    // the item back to the caller; null when the item is not in this catalog.
    std::unique_ptr<CFileItem> removeItem(CFileItem* item);
    // Replaces all items (for readers); nothing else is touched.
    void setItems(std::vector<std::unique_ptr<CFileItem>> items);

    // ---- displayed items ----
    int displayedCount() const { return static_cast<int>(m_displayed.size()); }
    CFileItem* displayedItem(int i) const { return m_displayed[static_cast<std::size_t>(i)]; }
    const std::vector<CFileItem*>& displayedItems() const { return m_displayed; }
    // The displayed index of the item, or -1.
    int indexOf(const CFileItem* item) const;

    // ---- categories ----
    int categoryCount() const { return static_cast<int>(m_categories.size()); }
    CCategory& category(int i) { return *m_categories[static_cast<std::size_t>(i)]; }
    const CCategory& category(int i) const { return *m_categories[static_cast<std::size_t>(i)]; }
    const std::string& categoryName(int i) const { return category(i).name(); }
    std::vector<std::string> categoryNames() const;
    void renameCategory(int i, std::string_view name) { category(i).setName(name); }
    // Appends a category: every item gets an empty value string for it and the sort keys a key. The limit
    // of ten is checked by the commands, not here. Returns the new category.
    CCategory& addCategory(std::string_view name = "");
    // Appends a category read from a file, without touching items or sort keys (for readers).
    void appendStoredCategory(CCategory category);
    // Removes category i with its value string of every item; sort keys and filters follow.
    void removeCategory(int i);
    // Exchanges two categories, their value strings in every item, and their sort keys and filters.
    void exchangeCategories(int i, int j);
    // Renames the value in category i of every item.
    void renameValueEverywhere(int i, std::string_view oldText, std::string_view newText);
    void setSelection(int i, std::vector<std::string> values) { category(i).setSelection(std::move(values)); }
    const std::vector<std::string>& selectionOf(int i) const { return category(i).selection(); }

    // Categories shown in the pane (flags bit 3 clear).
    int shownCategoryCount() const;
    // The index of the k-th shown category; -1 with "エラー：カテゴリインデックス取得不可" when none.
    int shownCategory(int k) const;
    // Hiding the only shown category is refused with "エラー：最低一つのカテゴリ表示が必要です"; false then.
    bool setShownInPane(int i, bool shown);
    // Categories with a grid column (flags bit 2), and the fixed columns shown (name, date, size).
    int gridCategoryCount() const;
    int shownFixedColumns() const;

    // One string per category: each value of its values list followed by "\n". Rebuilt by recompute.
    const std::vector<std::string>& choiceLists() const { return m_choiceLists; }
    void buildChoiceLists();

    // ---- stored options ----
    int reserved() const { return m_reserved; }
    void setReserved(int value) { m_reserved = value; }
    bool showName() const { return m_showName; }
    bool showDate() const { return m_showDate; }
    bool showSize() const { return m_showSize; }
    void setShowName(bool show) { m_showName = show; }
    void setShowDate(bool show) { m_showDate = show; }
    void setShowSize(bool show) { m_showSize = show; }
    // The options of the open catalog: items kept through shortcuts in the catalog folder, and paths stored
    // relative to the catalog folder (when shortcuts are off).
    bool useShortcuts() const { return m_useShortcuts; }
    void setUseShortcuts(bool use) { m_useShortcuts = use; }
    bool relativePaths() const { return m_relativePaths; }
    void setRelativePaths(bool relative) { m_relativePaths = relative; }
    bool filterOn() const { return m_filterOn; }
    void setFilterOn(bool on) { m_filterOn = on; }
    // A catalog opened only to be read: its recompute never writes to the catalog folder (no shortcut is
    // made or updated). Not stored.
    bool readOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    CSortArray& sortKeys() { return m_sortKeys; }
    const CSortArray& sortKeys() const { return m_sortKeys; }
    CFilterArray& filters() { return m_filters; }
    const CFilterArray& filters() const { return m_filters; }

    // ---- the catalog file and folder ----
    const std::string& path() const { return m_path; }
    void setPath(std::string_view path) { m_path = path; }
    // The folder of the catalog file ("" when the path has no "/").
    std::string catalogFolder() const;
    // The catalog file's name without folder and extension.
    std::string catalogName() const;
    // The folder that holds the catalog folder.
    std::string parentFolder() const;

    // ---- recompute, sort and search ----
    // Rebuilds the derived state: drill-down through the shown categories from left to right, refresh of
    // every displayed item from the file system, filters (when on), sort.
    void recompute();
    // The same without reading the file system.
    void recomputeWithoutRefresh();
    // Forgets what the catalog knows of the file system: every displayed item is read again at the next
    // recompute and lost shortcut targets are searched for again (the refresh command).
    void forgetFileState();
    // Whether the refresh watches the items' folders so that later recomputes read only what changed (on by
    // default). A program that recomputes once turns it off: watches would cost without serving.
    void setWatchFiles(bool watch);
    int compare(const CFileItem& a, const CFileItem& b) const { return m_sortKeys.compare(a, b); }
    void sort() { m_sortKeys.sortItems(m_displayed, m_sortKeyCache); }
    void setPrimaryAndSort(int key, bool ascending);

    // Walks the displayed list from start up (direction > 0) or down for the first item whose value string
    // i is empty (text "") or that has the value; -1 when none.
    int findItem(int start, int direction, int i, std::string_view text) const;
    // Called with each displayed index before its item is tested; returning false ends the walk (-1).
    using SearchProgress = std::function<bool(int index)>;
    // Walks the displayed list from start up (direction > 0) or down for the first item that meets the
    // conditions (which keep the match offset of that item); -1 when none. No walk wraps around.
    int findByCondition(int start, int direction, CFileSearchCondition& condition,
                        const SearchProgress& progress = {}) const;
    // From max(start, 0) up, and from min(start, last) down.
    int findForward(int start, CFileSearchCondition& condition, const SearchProgress& progress = {}) const;
    int findBackward(int start, CFileSearchCondition& condition, const SearchProgress& progress = {}) const;

    // Makes every item's path relative to the catalog folder (before writing with relative paths). The
    // operations on the folder itself are CCatalogFolder's.
    void makePathsRelative();

private:
    void rebuild(bool refresh);
    void narrowByCategories();
    void narrowByCategory(int i, std::vector<CValueInterner::Id> ids, const std::vector<std::uint32_t>& stamps,
                          std::uint32_t collected);
    std::uint32_t nextStampEpoch();
    void growStamps();
    void refreshDisplayed();
    void refreshDisplayedInHalves(const std::string& folder);
    void applyFilters();

    std::vector<std::unique_ptr<CFileItem>> m_items;
    std::string m_path;
    std::vector<std::unique_ptr<CCategory>> m_categories;
    std::vector<CFileItem*> m_displayed;
    CSortArray m_sortKeys;
    CFilterArray m_filters;
    std::vector<std::string> m_choiceLists;
    int m_reserved = 0;
    bool m_showName = true;
    bool m_showDate = true;
    bool m_showSize = true;
    bool m_useShortcuts = false;
    bool m_relativePaths = false;
    bool m_filterOn = false;
    bool m_readOnly = false;

    // The last unsorted values collection and its sorted result per category position, so that a recompute
    // whose values did not change skips the sort of the values list.
    struct ValuesCache {
        std::vector<CValueInterner::Id> ids;
        std::vector<std::string> sorted;
    };
    std::vector<ValuesCache> m_valuesCache;
    std::vector<std::uint32_t> m_stamp;
    std::vector<std::vector<std::uint32_t>> m_valueStamps;  // per shown category, by value number
    std::uint32_t m_stampEpoch = 0;
    // The numbers of value texts, for items whose records hold none: the values of all items are collected
    // without numbering every record, which would cost memory that only a drill-down needs.
    CValueIdCache m_valueIdCache;

    // What the refresh and the sort keep between recomputes; all of it is forgotten when the catalog is
    // cleared, that is at every opening.
    CRefreshTracker m_refreshTracker;
    bool m_watchFiles = true;
    CLostLinkTargets m_lostTargets;
    CSortKeyCache m_sortKeyCache;

    friend class CCatalogSnapshot;
};
