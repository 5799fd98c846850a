#include "model/CFileItem.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

#include "model/CLostLinkTargets.h"
#include "model/CValueIdCache.h"
#include "platform/CShellLink.h"
#include "platform/CUserInterface.h"
#include "text/Normalize.h"
#include "text/PathUtil.h"

namespace fs = std::filesystem;

namespace {

// FILETIME (100 ns units since 1601-01-01 UTC) to an item date. Item dates hold whole seconds, so that a
// filter for "2007/1/5 10:30" finds a file written during that second.
constexpr std::int64_t kFileTimeUnixEpoch = 116444736000000000LL;

COleDate dateOfFileTime(std::int64_t fileTime) {
    const std::int64_t sinceUnix = fileTime - kFileTimeUnixEpoch;
    std::int64_t seconds = sinceUnix / 10000000;
    if (sinceUnix % 10000000 < 0) {
        --seconds;
    }
    return COleDate::fromUnixTime(seconds);
}

// Calls fn(begin, length) for every value of a value string: single commas separate, ",," stays inside.
template <typename Fn>
void forEachValue(std::string_view text, Fn&& fn) {
    if (text.empty()) {
        return;
    }
    std::size_t begin = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ',') {
            if (i + 1 < text.size() && text[i + 1] == ',') {
                i += 2;
                continue;
            }
            fn(text.substr(begin, i - begin));
            begin = ++i;
            continue;
        }
        ++i;
    }
    fn(text.substr(begin));
}

std::string fileNameOf(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The shortcut file of a name in the catalog folder, or "" when there is none to touch: a catalog not yet
// saved has no folder (joining would name a file at the root), and only plain file names are used.
std::string shortcutFile(std::string_view catalogFolder, std::string_view name) {
    if (catalogFolder.empty() || !CFileItem::isPlainFileName(name)) {
        return std::string();
    }
    return jtext::joinFolderAndName(catalogFolder, name);
}

std::string baseOf(std::string_view catalogFolder) {
    return jtext::joinFolderAndName(catalogFolder, "dummy");
}

bool existsAt(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// False only when both exist and lie on different file systems.
bool onSameFileSystem(std::string_view a, std::string_view b) {
    struct stat first {};
    struct stat second {};
    if (::stat(std::string(a).c_str(), &first) != 0 || ::stat(std::string(b).c_str(), &second) != 0) {
        return true;
    }
    return first.st_dev == second.st_dev;
}

}  // namespace

// ---- the record ----

CFileItem::Record::Record(const Record& other)
    : shortcutName(other.shortcutName),
      title(other.title),
      memo(other.memo),
      path(other.path),
      values(other.values) {}

CFileItem::Record::~Record() {
    delete[] m_valueIds.load(std::memory_order_relaxed);
}

const std::uint32_t* CFileItem::Record::numberValues() const {
    const std::uint32_t* block = m_valueIds.load(std::memory_order_acquire);
    return block != nullptr ? block : buildValueIds();
}

std::span<const CValueInterner::Id> CFileItem::Record::valueIds(std::size_t i) const {
    const std::uint32_t* block = numberValues();
    const std::uint32_t* numbers = block + values.size() + 1;
    return std::span<const CValueInterner::Id>(numbers + block[i], block[i + 1] - block[i]);
}

void CFileItem::Record::dropValueIds() {
    delete[] m_valueIds.exchange(nullptr, std::memory_order_acq_rel);
}

// The numbers are gathered in a per-thread buffer and copied into a block of their exact size; they come
// from a per-thread memo in front of the interner. Two threads may build at once: the first block installed
// wins and the other is discarded.
const std::uint32_t* CFileItem::Record::buildValueIds() const {
    thread_local CValueIdCache ids;
    thread_local std::vector<std::uint32_t> built;
    const std::size_t slots = values.size();
    built.assign(slots + 1, 0);
    for (std::size_t i = 0; i < slots; ++i) {
        built[i] = static_cast<std::uint32_t>(built.size() - (slots + 1));
        forEachValue(values[i], [&](std::string_view value) { built.push_back(ids.intern(value)); });
    }
    built[slots] = static_cast<std::uint32_t>(built.size() - (slots + 1));
    auto* block = new std::uint32_t[built.size()];
    std::copy(built.begin(), built.end(), block);
    const std::uint32_t* expected = nullptr;
    if (!m_valueIds.compare_exchange_strong(expected, block, std::memory_order_acq_rel)) {
        delete[] block;
        return expected;
    }
    return block;
}

CFileItem::CFileItem() : m_record(std::make_shared<Record>()) {}

CFileItem::CFileItem(const CFileItem& other)
    : m_record(other.m_record), m_kind(other.m_kind), m_displayName(other.m_displayName) {}

CFileItem::CFileItem(std::shared_ptr<const Record> record) : m_record(std::move(record)) {
    if (!m_record) {
        m_record = std::make_shared<Record>();
    }
}

CFileItem::Record& CFileItem::editableRecord() {
    // Nobody else holds the record: change it in place. Otherwise give this item a copy of its own.
    if (m_record.use_count() != 1) {
        m_record = std::make_shared<Record>(*m_record);
    }
    return const_cast<Record&>(*m_record);
}

void CFileItem::setShortcutName(std::string_view name) {
    if (name != m_record->shortcutName) {
        editableRecord().shortcutName = name;
        m_refreshMark.stamp = 0;
    }
}

void CFileItem::setTitle(std::string_view title) {
    if (title != m_record->title) {
        editableRecord().title = title;
        m_refreshMark.stamp = 0;
    }
}

void CFileItem::setMemo(std::string_view memo) {
    if (memo != m_record->memo) {
        editableRecord().memo = memo;
    }
}

void CFileItem::setStoredPath(std::string_view path) {
    if (path != m_record->path) {
        editableRecord().path = path;
        m_refreshMark.stamp = 0;
    }
}

std::string_view CFileItem::valueString(int i) const {
    if (i < 0 || i >= valueCount()) {
        return {};
    }
    return m_record->values[static_cast<std::size_t>(i)];
}

void CFileItem::setValueString(int i, std::string_view text) {
    if (i < 0 || i >= valueCount() || text == valueString(i)) {
        return;
    }
    Record& record = editableRecord();
    record.values.set(static_cast<std::size_t>(i), text);
    record.dropValueIds();
}

void CFileItem::setValueStrings(const std::vector<std::string>& values) {
    Record& record = editableRecord();
    record.values = CValueStrings(values);
    record.dropValueIds();
}

// ---- value slots ----

void CFileItem::addCategorySlot() {
    Record& record = editableRecord();
    record.values.append("");
    record.dropValueIds();
}

void CFileItem::removeCategorySlot(int i) {
    if (i < 0 || i >= valueCount()) {
        return;
    }
    Record& record = editableRecord();
    record.values.erase(static_cast<std::size_t>(i));
    record.dropValueIds();
}

void CFileItem::exchangeSlots(int i, int j) {
    if (i < 0 || j < 0 || i >= valueCount() || j >= valueCount() || i == j) {
        return;
    }
    Record& record = editableRecord();
    record.values.swap(static_cast<std::size_t>(i), static_cast<std::size_t>(j));
    record.dropValueIds();
}

void CFileItem::resetSlots(int count) {
    Record& record = editableRecord();
    record.values = CValueStrings(static_cast<std::size_t>(std::max(count, 0)));
    record.dropValueIds();
}

// ---- values ----

std::vector<std::string> CFileItem::splitValues(std::string_view valueString) {
    std::vector<std::string> values;
    forEachValue(valueString, [&](std::string_view value) { values.emplace_back(value); });
    return values;
}

std::string CFileItem::joinValues(const std::vector<std::string>& values) {
    std::string joined;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            joined += ',';
        }
        joined += values[i];
    }
    return joined;
}

bool CFileItem::valuesOf(int i, std::vector<std::string>& out) const {
    const std::string_view text = valueString(i);
    if (text.empty()) {
        return false;
    }
    forEachValue(text, [&](std::string_view value) { out.emplace_back(value); });
    return true;
}

std::vector<std::string> CFileItem::valuesOf(int i) const {
    return splitValues(valueString(i));
}

std::span<const CValueInterner::Id> CFileItem::valueIdsOf(int i) const {
    if (i < 0 || i >= valueCount()) {
        return {};
    }
    return m_record->valueIds(static_cast<std::size_t>(i));
}

void CFileItem::numberValues() const {
    m_record->numberValues();
}

bool CFileItem::hasValue(int i, std::string_view text, bool partial) const {
    bool found = false;
    forEachValue(valueString(i), [&](std::string_view value) {
        if (!found) {
            found = partial ? jtext::normalizedSearch(value, text, jtext::kNormCase) >= 0 : value == text;
        }
    });
    return found;
}

bool CFileItem::addValue(int i, std::string_view text) {
    if (i < 0 || i >= valueCount() || hasValue(i, text, false)) {
        return false;
    }
    std::string updated(valueString(i));
    if (!updated.empty()) {
        updated += ',';
    }
    updated += text;
    setValueString(i, updated);
    return true;
}

void CFileItem::renameValue(int i, std::string_view oldText, std::string_view newText) {
    std::vector<std::string> values = valuesOf(i);
    const auto found = std::find(values.begin(), values.end(), oldText);
    if (found != values.end()) {
        *found = newText;
    }
    setValueString(i, joinValues(values));
}

std::string CFileItem::sortedValueText(int i) const {
    const std::string_view text = valueString(i);
    if (text.find(',') == std::string_view::npos) {
        return std::string(text);
    }
    std::vector<std::string> values = splitValues(text);
    jtext::normalizedSort(values, jtext::kNormCase);
    return joinValues(values);
}

std::string CFileItem::folder() const {
    if (m_kind == ItemKind::Folder) {
        return path();
    }
    return jtext::folderOf(path());
}

std::string CFileItem::extension() const {
    if (m_kind == ItemKind::Folder) {
        return std::string();
    }
    const std::size_t dot = m_displayName.rfind('.');
    return dot == std::string::npos ? std::string() : m_displayName.substr(dot + 1);
}

// ---- the file system ----

bool CFileItem::isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

std::string CFileItem::createShortcut(std::string_view target, std::string_view catalogFolder) {
    if (catalogFolder.empty()) {
        return std::string();
    }
    std::string stem = fileNameOf(target);
    if (const std::size_t dot = stem.rfind('.'); dot != std::string::npos && dot > 0) {
        stem.resize(dot);
    }
    if (stem.empty() || stem == "/") {
        stem = "shortcut";
    }
    std::string name = stem + ".lnk";
    for (int n = 1; existsAt(jtext::joinFolderAndName(catalogFolder, name)); ++n) {
        name = stem + "(" + std::to_string(n) + ").lnk";
    }
    // A failure to save is silent: the next refresh finds no shortcut and makes it again.
    CShellLink::forTarget(std::string(target)).save(jtext::joinFolderAndName(catalogFolder, name));
    return name;
}

void CFileItem::setPath(std::string_view newPath, std::string_view catalogFolder, bool useShortcuts) {
    if (newPath.find("://") != std::string_view::npos) {
        setShortcutName(newPath);
        setStoredPath(newPath);
        return;
    }
    if (newPath == path()) {
        return;
    }
    if (useShortcuts && !catalogFolder.empty()) {
        deleteShortcutFile(catalogFolder);
        setShortcutName(createShortcut(newPath, catalogFolder));
    } else {
        setShortcutName("");
    }
    setStoredPath(newPath);
}

void CFileItem::takeFileData(const std::string& path, bool isDirectory, std::uint64_t size,
                             std::int64_t writeTime) {
    setStoredPath(path);
    m_displayName = title().empty() ? fileNameOf(path) : title();
    m_date = dateOfFileTime(writeTime);
    m_size = size;
    m_kind = isDirectory ? ItemKind::Folder : ItemKind::File;
}

bool CFileItem::refresh(std::string_view catalogFolder, bool useShortcuts, bool readOnly,
                        CLostLinkTargets* lostTargets) {
    if (isUrl()) {
        setStoredPath(shortcutName());
        m_displayName = title();
        m_kind = ItemKind::Url;
        m_size = 0;
        m_date = COleDate::now();
        return true;
    }
    // Until the catalog has a folder its items are found by their paths alone.
    if (!useShortcuts || catalogFolder.empty()) {
        const std::string resolved = resolve(catalogFolder);
        if (auto data = CShellLink::findDataOf(resolved)) {
            takeFileData(resolved, data->isDirectory(), data->fileSize, data->writeTime);
            return true;
        }
        return false;
    }
    std::optional<CShellLink> link;
    const std::string linkPath = shortcutFile(catalogFolder, shortcutName());
    if (!linkPath.empty()) {
        link = CShellLink::load(linkPath);
    }
    if (link) {
        const std::string before = link->targetPath();
        if (lostTargets != nullptr && lostTargets->isLost(shortcutName(), before)) {
            if (!CShellLink::findDataOf(before)) {
                return false;  // still lost: the search already failed once
            }
            lostTargets->forget(shortcutName(), before);
        }
        if (!link->resolve(std::string(catalogFolder))) {
            if (lostTargets != nullptr) {
                lostTargets->remember(shortcutName(), before);
            }
            return false;  // the target is lost: the item keeps its last data
        }
        if (link->targetPath() != before && !readOnly) {
            link->save(linkPath);  // remember where the file went
        }
        CFindData data = link->findData();
        if (auto current = CShellLink::findDataOf(link->targetPath())) {
            data = *current;
        }
        takeFileData(link->targetPath(), data.isDirectory(), data.fileSize, data.writeTime);
        return true;
    }
    if (!path().empty()) {
        // A path read from a catalog with relative paths is made absolute first: a link needs its target.
        const std::string target = resolve(catalogFolder);
        if (!readOnly) {
            setShortcutName(createShortcut(target, catalogFolder));
        }
        if (auto data = CShellLink::findDataOf(target)) {
            takeFileData(target, data->isDirectory(), data->fileSize, data->writeTime);
        }
    }
    return false;
}

std::string CFileItem::relativePath(std::string_view catalogFolder) const {
    if (isUrl() || path().empty() || !jtext::isAbsolutePath(path()) ||
        path().find("://") != std::string::npos) {
        return path();
    }
    // Only a path on the catalog folder's own file system becomes relative.
    if (!onSameFileSystem(catalogFolder, path())) {
        return path();
    }
    return jtext::relativePathFrom(baseOf(catalogFolder), path());
}

void CFileItem::makeRelative(std::string_view catalogFolder) {
    setStoredPath(relativePath(catalogFolder));
}

std::string CFileItem::resolve(std::string_view catalogFolder) const {
    if (path().empty() || jtext::isAbsolutePath(path())) {
        return path();
    }
    if (std::optional<std::string> absolute = jtext::absolutePathFrom(baseOf(catalogFolder), path())) {
        return std::move(*absolute);
    }
    CUserInterface::current().message(kBadRelativePath, MessageIcon::Warning);
    return path();
}

void CFileItem::deleteShortcutFile(std::string_view catalogFolder) const {
    const std::string file = shortcutFile(catalogFolder, shortcutName());
    if (file.empty()) {
        return;
    }
    std::error_code error;
    fs::remove(file, error);
}
