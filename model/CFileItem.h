#pragma once

// One registered item of a catalog: a file, a folder or a web address, with its title, memo and one value
// string per category.
//
// The stored fields (shortcut name, title, memo, path, value strings) live in an immutable record that
// copies of the item share; a change gives the changed item a record of its own (copy on write). Undo
// snapshots hold the records, so a history of snapshots costs little more than the records that changed.
// The record also numbers the values of every value string through CValueInterner, on first use, so that
// the drill-down never splits strings again and reading a catalog does not split them at all.

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/COleDate.h"
#include "model/CValueInterner.h"
#include "model/CValueStrings.h"

enum class ItemKind : int { File = 0, Folder = 1, Url = 2 };

class CLostLinkTargets;

class CFileItem final {
public:
    static constexpr std::string_view kBadRelativePath = "相対パスが誤っています";

    // The stored part of an item. Immutable once shared.
    struct Record {
        std::string shortcutName;
        std::string title;
        std::string memo;
        std::string path;
        CValueStrings values;

        Record() = default;
        // Copies the stored fields; the copy numbers its values again when asked.
        Record(const Record& other);
        Record& operator=(const Record&) = delete;
        ~Record();

        // The numbers of the values of value string i (i below values.size()). Built for all value strings
        // on the first call; safe to call from several threads at once.
        std::span<const CValueInterner::Id> valueIds(std::size_t i) const;
        // Builds the numbers unless they are built; returns their block.
        const std::uint32_t* numberValues() const;
        // Forgets the numbers; every change of values is followed by it (the record is not shared then).
        void dropValueIds();

    private:
        // One block: first values.size() + 1 slot starts, then the numbers slot after slot; slot i holds the
        // numbers block[n + 1 + block[i] .. n + 1 + block[i + 1]) with n = values.size().
        const std::uint32_t* buildValueIds() const;

        mutable std::atomic<const std::uint32_t*> m_valueIds{nullptr};
    };

    CFileItem();
    // Copies the stored fields, the kind and the display name; size and date are not copied and the copy is
    // not checked.
    CFileItem(const CFileItem& other);
    CFileItem& operator=(const CFileItem&) = delete;
    // An item over a shared record (undo snapshots restore items this way).
    explicit CFileItem(std::shared_ptr<const Record> record);

    // ---- stored fields ----
    const std::string& shortcutName() const { return m_record->shortcutName; }
    const std::string& title() const { return m_record->title; }
    const std::string& memo() const { return m_record->memo; }
    const std::string& path() const { return m_record->path; }
    void setShortcutName(std::string_view name);
    void setTitle(std::string_view title);
    void setMemo(std::string_view memo);
    // Sets the path text alone (no shortcut handling): for readers of the catalog file and for the
    // catalog's own bookkeeping. Commands use setPath.
    void setStoredPath(std::string_view path);

    int valueCount() const { return static_cast<int>(m_record->values.size()); }
    const CValueStrings& valueStrings() const { return m_record->values; }
    // Value string i; "" when i is out of range.
    std::string_view valueString(int i) const;
    void setValueString(int i, std::string_view text);
    void setValueStrings(const std::vector<std::string>& values);

    const std::shared_ptr<const Record>& record() const { return m_record; }

    // ---- derived fields, valid after a refresh ----
    std::uint64_t size() const { return m_size; }
    const COleDate& date() const { return m_date; }
    ItemKind kind() const { return m_kind; }
    const std::string& displayName() const { return m_displayName; }
    int checked() const { return m_checked; }
    void setSize(std::uint64_t size) { m_size = size; }
    void setDate(const COleDate& date) { m_date = date; }
    void setKind(ItemKind kind) { m_kind = kind; }
    void setDisplayName(std::string_view name) { m_displayName = name; }
    void setChecked(int checked) { m_checked = checked; }

    bool isUrl() const { return shortcutName().find("://") != std::string::npos; }

    // What the catalog's refresh tracker knows of the item: when it was last read from the file system and
    // which watched folders can tell that it changed (see CRefreshTracker). A change of the path, the
    // shortcut name or the title makes the item stale (stamp 0); copies start stale.
    struct RefreshMark {
        static constexpr std::uint32_t kNone = 0xFFFFFFFF;
        std::uint64_t stamp = 0;
        std::uint32_t folder = kNone;  // the folder that holds the file or folder
        std::uint32_t self = kNone;    // a folder item itself
        std::uint32_t link = kNone;    // the catalog folder that holds the item's shortcut
        std::uint16_t missing = 0;     // folders missing between `folder` and the file (see CRefreshTracker)
    };
    const RefreshMark& refreshMark() const { return m_refreshMark; }
    void setRefreshMark(const RefreshMark& mark) { m_refreshMark = mark; }

    // ---- value slots ----
    void addCategorySlot();
    void removeCategorySlot(int i);
    void exchangeSlots(int i, int j);
    void resetSlots(int count);

    // Splits a value string: single commas separate values, ",," belongs to a value and stays doubled.
    static std::vector<std::string> splitValues(std::string_view valueString);
    // The value string of values: joined with ",".
    static std::string joinValues(const std::vector<std::string>& values);

    // The values of category i appended to `out`; false (out untouched) when the value string is empty.
    bool valuesOf(int i, std::vector<std::string>& out) const;
    std::vector<std::string> valuesOf(int i) const;
    // The numbers of the values of category i (see CValueInterner).
    std::span<const CValueInterner::Id> valueIdsOf(int i) const;
    // Numbers the values now rather than on the first valueIdsOf.
    void numberValues() const;
    // partial false: a value equals text byte for byte; partial true: a value contains text (upper-casing
    // search).
    bool hasValue(int i, std::string_view text, bool partial) const;
    // Appends the value unless it is there already; false when it was there.
    bool addValue(int i, std::string_view text);
    // Replaces the first value equal to oldText by newText; the value string is rewritten either way.
    void renameValue(int i, std::string_view oldText, std::string_view newText);
    // The value string itself when it holds no ","; else its values sorted (upper-casing list sort) and
    // joined with ",".
    std::string sortedValueText(int i) const;

    // For a folder the path; else the folder that holds the path ("/" for "/x").
    std::string folder() const;
    // For a folder ""; else the text after the last "." of the display name ("" when none).
    std::string extension() const;

    // ---- the file system ----
    // Gives the item a new path; in a catalog that uses shortcuts the old shortcut is deleted and a new one
    // is made in the catalog folder.
    void setPath(std::string_view newPath, std::string_view catalogFolder, bool useShortcuts);
    // Re-reads location, size, date and kind; true when the item's file or folder was found. Unless
    // `readOnly`, a missing shortcut is made again and a shortcut whose target moved is updated; read
    // only, the catalog folder is left exactly as it is. With a memo of lost shortcut targets, a target
    // found lost once is not searched for again while it stays missing from its recorded place.
    bool refresh(std::string_view catalogFolder, bool useShortcuts, bool readOnly = false,
                 CLostLinkTargets* lostTargets = nullptr);
    // The path made relative to the catalog folder (URLs and paths elsewhere stay as they are).
    void makeRelative(std::string_view catalogFolder);
    // The text makeRelative would store, without changing the item.
    std::string relativePath(std::string_view catalogFolder) const;
    // The absolute path of the stored path. A relative path that climbs above the root is told to the user
    // with kBadRelativePath and returned as it is.
    std::string resolve(std::string_view catalogFolder) const;
    // Deletes the item's shortcut file from the catalog folder.
    void deleteShortcutFile(std::string_view catalogFolder) const;

    // A shortcut name is used as a file name only when it names a plain file inside the catalog folder: not
    // empty, no "/", not "." or "..". Any other text read from a catalog file is never opened or deleted.
    static bool isPlainFileName(std::string_view name);
    // Makes a shortcut for target in the catalog folder and returns its file name: the target's name without
    // extension + ".lnk", with "(1)", "(2)", ... before ".lnk" while the name is taken.
    static std::string createShortcut(std::string_view target, std::string_view catalogFolder);

private:
    Record& editableRecord();
    void takeFileData(const std::string& path, bool isDirectory, std::uint64_t size, std::int64_t writeTime);

    std::shared_ptr<const Record> m_record;
    std::uint64_t m_size = 0;
    COleDate m_date;
    ItemKind m_kind = ItemKind::File;
    std::string m_displayName;
    int m_checked = 0;
    RefreshMark m_refreshMark;
};
