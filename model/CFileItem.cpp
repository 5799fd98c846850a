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

// The last component of a path, trailing slashes aside.
std::string_view fileNameOf(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

template <typename Fn>
void forEachValue(std::string_view text, Fn&& fn) {
    CItemRecord::forEachValue(text, std::forward<Fn>(fn));
}

constexpr std::size_t kShortcutName = static_cast<std::size_t>(CItemRecord::Field::ShortcutName);
constexpr std::size_t kMemo = static_cast<std::size_t>(CItemRecord::Field::Memo);
constexpr std::size_t kTitle = static_cast<std::size_t>(CItemRecord::Field::Title);
constexpr std::size_t kPath = static_cast<std::size_t>(CItemRecord::Field::Path);

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

CFileItem::CFileItem() : m_record(CItemRecord::empty(0)) {}

CFileItem::CFileItem(const CFileItem& other)
    : m_record(other.m_record),
      m_ownName(other.m_ownName ? std::make_unique<std::string>(*other.m_ownName) : nullptr),
      m_kind(other.m_kind),
      m_nameForm(other.m_nameForm) {}

CFileItem::CFileItem(CItemRecord::Ptr record) : m_record(std::move(record)) {
    if (!m_record) {
        m_record = CItemRecord::empty(0);
    }
}

void CFileItem::setText(std::size_t k, std::string_view text) {
    m_record = m_record->withText(k, text);
}

void CFileItem::setValues(std::span<const std::string_view> values) {
    m_record = m_record->withValues(values);
}

// ---- derived fields ----

std::string_view CFileItem::displayName() const {
    switch (m_nameForm) {
        case NameForm::Title:
            return title();
        case NameForm::FileName:
            return fileNameOf(path());
        case NameForm::Own:
            return *m_ownName;
        case NameForm::Unknown:
            return title().empty() && !isUrl() ? fileNameOf(path()) : title();
        case NameForm::Empty:
            break;
    }
    return {};
}

void CFileItem::setDisplayName(std::string_view name) {
    m_ownName.reset();
    if (name.empty()) {
        m_nameForm = NameForm::Empty;
    } else if (name == title()) {
        m_nameForm = NameForm::Title;
    } else if (name == fileNameOf(path())) {
        m_nameForm = NameForm::FileName;
    } else {
        m_ownName = std::make_unique<std::string>(name);
        m_nameForm = NameForm::Own;
    }
}

void CFileItem::keepDisplayName() {
    if (m_nameForm == NameForm::Title || m_nameForm == NameForm::FileName) {
        m_ownName = std::make_unique<std::string>(displayName());
        m_nameForm = m_ownName->empty() ? NameForm::Empty : NameForm::Own;
    }
}

void CFileItem::setDate(const COleDate& date) {
    m_dateValue = date.value();
    m_dateStatus = static_cast<std::uint8_t>(date.status());
}

// ---- stored fields ----

void CFileItem::setShortcutName(std::string_view name) {
    if (name != shortcutName()) {
        setText(kShortcutName, name);
        m_refreshMark.stamp = 0;
    }
}

void CFileItem::setTitle(std::string_view title) {
    if (title != this->title()) {
        if (m_nameForm == NameForm::Title) {
            keepDisplayName();
        }
        setText(kTitle, title);
        m_refreshMark.stamp = 0;
    }
}

void CFileItem::setMemo(std::string_view memo) {
    if (memo != this->memo()) {
        setText(kMemo, memo);
    }
}

void CFileItem::setStoredPath(std::string_view path) {
    if (path != this->path()) {
        if (m_nameForm == NameForm::FileName) {
            keepDisplayName();
        }
        setText(kPath, path);
        m_refreshMark.stamp = 0;
    }
}

std::string_view CFileItem::valueString(int i) const {
    if (i < 0 || i >= valueCount()) {
        return {};
    }
    return m_record->value(static_cast<std::size_t>(i));
}

void CFileItem::setValueString(int i, std::string_view text) {
    if (i < 0 || i >= valueCount() || text == valueString(i)) {
        return;
    }
    setText(CItemRecord::kFieldCount + static_cast<std::size_t>(i), text);
}

void CFileItem::setValueStrings(const std::vector<std::string>& values) {
    const std::vector<std::string_view> views(values.begin(), values.end());
    setValues(views);
}

// ---- value slots ----

void CFileItem::addCategorySlot() {
    std::vector<std::string_view> values(valueStrings().begin(), valueStrings().end());
    values.emplace_back();
    setValues(values);
}

void CFileItem::removeCategorySlot(int i) {
    if (i < 0 || i >= valueCount()) {
        return;
    }
    std::vector<std::string_view> values(valueStrings().begin(), valueStrings().end());
    values.erase(values.begin() + i);
    setValues(values);
}

void CFileItem::exchangeSlots(int i, int j) {
    if (i < 0 || j < 0 || i >= valueCount() || j >= valueCount() || i == j) {
        return;
    }
    std::vector<std::string_view> values(valueStrings().begin(), valueStrings().end());
    std::swap(values[static_cast<std::size_t>(i)], values[static_cast<std::size_t>(j)]);
    setValues(values);
}

void CFileItem::resetSlots(int count) {
    const std::vector<std::string_view> values(static_cast<std::size_t>(std::max(count, 0)));
    setValues(values);
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
    if (kind() == ItemKind::Folder) {
        return std::string(path());
    }
    return jtext::folderOf(path());
}

std::string CFileItem::extension() const {
    if (kind() == ItemKind::Folder) {
        return std::string();
    }
    const std::string_view name = displayName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
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
    std::string stem(fileNameOf(target));
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

void CFileItem::takeFileData(std::string_view path, bool isDirectory, std::uint64_t size,
                             std::int64_t writeTime) {
    m_nameForm = NameForm::Empty;  // derived again below: nothing to keep
    m_ownName.reset();
    setStoredPath(path);
    m_nameForm = title().empty() ? NameForm::FileName : NameForm::Title;
    setDate(dateOfFileTime(writeTime));
    m_size = size;
    setKind(isDirectory ? ItemKind::Folder : ItemKind::File);
}

bool CFileItem::refresh(std::string_view catalogFolder, bool useShortcuts, bool readOnly,
                        CLostLinkTargets* lostTargets) {
    if (isUrl()) {
        m_nameForm = NameForm::Empty;
        m_ownName.reset();
        setStoredPath(shortcutName());
        m_nameForm = NameForm::Title;
        setKind(ItemKind::Url);
        m_size = 0;
        setDate(COleDate::now());
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
        path().find("://") != std::string_view::npos) {
        return std::string(path());
    }
    // Only a path on the catalog folder's own file system becomes relative.
    if (!onSameFileSystem(catalogFolder, path())) {
        return std::string(path());
    }
    return jtext::relativePathFrom(baseOf(catalogFolder), path());
}

void CFileItem::makeRelative(std::string_view catalogFolder) {
    setStoredPath(relativePath(catalogFolder));
}

std::string CFileItem::resolve(std::string_view catalogFolder) const {
    if (path().empty() || jtext::isAbsolutePath(path())) {
        return std::string(path());
    }
    if (std::optional<std::string> absolute = jtext::absolutePathFrom(baseOf(catalogFolder), path())) {
        return std::move(*absolute);
    }
    CUserInterface::current().message(kBadRelativePath, MessageIcon::Warning);
    return std::string(path());
}

void CFileItem::deleteShortcutFile(std::string_view catalogFolder) const {
    const std::string file = shortcutFile(catalogFolder, shortcutName());
    if (file.empty()) {
        return;
    }
    std::error_code error;
    fs::remove(file, error);
}
