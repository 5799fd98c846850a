#pragma once

// One registered item of a catalog: a file, a folder or a web address, with its title, memo and one value
// string per category.
//
// The stored fields (shortcut name, memo, title, path, value strings) live in one immutable record
// (CItemRecord) that copies of the item share; a change gives the changed item a record of its own (copy on
// write). Undo snapshots hold the records, so a history of snapshots costs little more than the records that
// changed. The item itself keeps only what the file system says (size, date, kind), the display name in a
// short form, the checked flag and the refresh tracker's mark.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/CItemRecord.h"
#include "model/COleDate.h"
#include "model/CValueInterner.h"
#include "model/CValueStrings.h"

enum class ItemKind : int { File = 0, Folder = 1, Url = 2 };

class CLostLinkTargets;

class CFileItem final {
public:
    static constexpr std::string_view kBadRelativePath = "相対パスが誤っています";

    CFileItem();
    // Copies the stored fields, the kind and the display name; size and date are not copied and the copy is
    // not checked.
    CFileItem(const CFileItem& other);
    CFileItem& operator=(const CFileItem&) = delete;
    // An item over a shared record (readers and undo snapshots make items this way).
    explicit CFileItem(CItemRecord::Ptr record);

    // ---- stored fields ----
    std::string_view shortcutName() const { return m_record->field(CItemRecord::Field::ShortcutName); }
    std::string_view title() const { return m_record->field(CItemRecord::Field::Title); }
    std::string_view memo() const { return m_record->field(CItemRecord::Field::Memo); }
    std::string_view path() const { return m_record->field(CItemRecord::Field::Path); }
    void setShortcutName(std::string_view name);
    void setTitle(std::string_view title);
    void setMemo(std::string_view memo);
    // Sets the path text alone (no shortcut handling): for readers of the catalog file and for the
    // catalog's own bookkeeping. Commands use setPath.
    void setStoredPath(std::string_view path);

    int valueCount() const { return static_cast<int>(m_record->valueCount()); }
    CValueStrings valueStrings() const { return CValueStrings(m_record); }
    // Value string i; "" when i is out of range.
    std::string_view valueString(int i) const;
    void setValueString(int i, std::string_view text);
    void setValueStrings(const std::vector<std::string>& values);

    const CItemRecord::Ptr& record() const { return m_record; }

    // ---- derived fields, valid after a refresh ----
    std::uint64_t size() const { return m_size; }
    COleDate date() const { return COleDate(m_dateValue, static_cast<COleDate::Status>(m_dateStatus)); }
    ItemKind kind() const { return static_cast<ItemKind>(m_kind); }
    // The title when the item was last found with one, else the file name its path had then (until the
    // item is first found, the title, else the file name of its path; a URL's is its title).
    std::string_view displayName() const;
    int checked() const { return m_checked; }
    void setSize(std::uint64_t size) { m_size = size; }
    void setDate(const COleDate& date);
    void setKind(ItemKind kind) { m_kind = static_cast<std::uint8_t>(kind); }
    void setDisplayName(std::string_view name);
    void setChecked(int checked) { m_checked = checked; }

    bool isUrl() const { return shortcutName().find("://") != std::string_view::npos; }

    // What the catalog's refresh tracker knows of the item: when it was last read from the file system and
    // which watched folders can tell that it changed (see CRefreshTracker). A change of the path, the
    // shortcut name or the title makes the item stale (stamp 0); copies start stale.
    struct RefreshMark {
        static constexpr std::uint32_t kNone = 0xFFFFFFFF;
        std::uint32_t stamp = 0;       // the recompute at which the item was read (0: stale)
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
    // How the display name is kept: it is nearly always the title or the file name of the path, which the
    // record holds already; only a name that is neither (the title or path changed while the file was
    // missing) is kept in a string of its own. An item whose file has not been found since it was read or
    // made has no last name to keep: it shows the name its title and path give (Unknown), so that a catalog
    // on a drive that is not there lists its items by name rather than as blank rows.
    enum class NameForm : std::uint8_t { Unknown, Empty, Title, FileName, Own };

    // Replaces text k of the record (see CItemRecord): the item takes a new record, and copies that share the
    // old one keep it.
    void setText(std::size_t k, std::string_view text);
    void setValues(std::span<const std::string_view> values);
    // Keeps the display name as it reads now, before the title or the path it is derived from changes.
    void keepDisplayName();
    void takeFileData(std::string_view path, bool isDirectory, std::uint64_t size, std::int64_t writeTime);

    CItemRecord::Ptr m_record;
    std::uint64_t m_size = 0;
    double m_dateValue = 0.0;
    std::unique_ptr<std::string> m_ownName;
    RefreshMark m_refreshMark;
    std::uint8_t m_dateStatus = static_cast<std::uint8_t>(COleDate::Status::Valid);
    std::uint8_t m_kind = static_cast<std::uint8_t>(ItemKind::File);
    NameForm m_nameForm = NameForm::Unknown;
    std::int8_t m_checked = 0;
};
