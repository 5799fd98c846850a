#include "catalogfile/CCatalogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalogfile/CArchiveReader.h"
#include "catalogfile/CArchiveWriter.h"
#include "catalogfile/CItemConverter.h"
#include "catalogfile/CObjectTagReader.h"
#include "catalogfile/CObjectTagWriter.h"
#include "catalogfile/CReleasableBytes.h"
#include "catalogfile/CSafeFileWriter.h"
#include "catalogfile/CatalogFormat.h"
#include "platform/CFileLock.h"
#include "text/PathUtil.h"

using namespace catalog_format;

static_assert(kFilterVersion == CItemFilter::kRecordVersion);
static_assert(kFilterVersionShifted == CItemFilter::kRecordVersionShifted);
static_assert(kMaxCategories == CFileCatalog::kMaxCategories);

namespace {

// ---- reading -----------------------------------------------------------------------------------------

// How many elements an object array may hold by the format (0: as many as the file holds), and its name
// in errors.
struct Limit {
    std::uint32_t count;
    std::string_view field;
};

Limit limitOf(ArchiveClass elementClass) {
    switch (elementClass) {
        case ArchiveClass::SortKey:
            return {kMaxSortKeys, "sort keys"};
        case ArchiveClass::Category:
            return {kMaxCategories, "categories"};
        default:
            return {0, {}};
    }
}

class CatalogParser final {
public:
    // With `release`, the memory of the item records converted is given back as the conversion goes.
    CatalogParser(CFileCatalog& catalog, std::string_view bytes, const CReleasableBytes* release)
        : m_catalog(catalog), m_bytes(bytes), m_release(release), m_reader(bytes) {}

    std::optional<CArchiveError> parse() {
        readHeader();
        readFilters();
        readSortKeys();
        readCategories();
        readItems();
        return m_reader.error();
    }

private:
    // Fields 1-16: version, reserved, the show flags, the two options, reserved integers and strings.
    void readHeader() {
        m_reader.readI32();  // version
        m_catalog.setReserved(m_reader.readI32());
        m_catalog.setShowName(m_reader.readI32() != 0);
        m_catalog.setShowDate(m_reader.readI32() != 0);
        m_catalog.setShowSize(m_reader.readI32() != 0);
        m_catalog.setUseShortcuts(m_reader.readI32() != 0);
        m_catalog.setRelativePaths(m_reader.readI32() != 0);
        for (int i = 0; i < kReservedIntegers; ++i)
            m_reader.readI32();
        for (int i = 0; i < kReservedStrings; ++i)
            m_reader.readString();
    }

    // Reads an object array whose elements must all be of `elementClass`, calling readRecord for each.
    // Null elements carry nothing and are skipped. A reference to an object read before would put one
    // object into the catalog twice; it is refused.
    // `reserve` learns the count first (already checked against the rest of the file).
    // A count beyond the limit of the array's elements (see CatalogFormat.h) is refused where it stands.
    template <typename Reserve, typename ReadRecord>
    void readObjectArray(ArchiveClass elementClass, Reserve reserve, ReadRecord readRecord) {
        const std::uint64_t countOffset = m_reader.offset();
        std::uint32_t count = m_reader.readCount(kMinObjectReferenceBytes);
        if (const Limit limit = limitOf(elementClass); limit.count != 0 && count > limit.count) {
            m_reader.fail(ArchiveErrorKind::OverLimit, countOffset,
                          std::string(limit.field) + ": " + std::to_string(count) + ", at most " +
                              std::to_string(limit.count));
            return;
        }
        reserve(count);
        for (std::uint32_t i = 0; i < count && m_reader.ok(); ++i) {
            std::optional<CObjectTagReader::Tag> tag = m_tags.read(m_reader);
            if (!tag || tag->kind == CObjectTagReader::TagKind::Null)
                continue;
            if (tag->objectClass != elementClass) {
                m_reader.fail(ArchiveErrorKind::WrongElementClass, tag->offset,
                              std::string(CClassRegistry::entry(tag->objectClass).name) + " where " +
                                  std::string(CClassRegistry::entry(elementClass).name) + " belongs");
                return;
            }
            if (tag->kind == CObjectTagReader::TagKind::Reference) {
                m_reader.fail(ArchiveErrorKind::SharedObject, tag->offset,
                              "object " + std::to_string(tag->objectIndex) + " again");
                return;
            }
            readRecord();
        }
    }

    template <typename ReadRecord>
    void readObjectArray(ArchiveClass elementClass, ReadRecord readRecord) {
        readObjectArray(
            elementClass, [](std::uint32_t) {}, readRecord);
    }

    void readFilters() {
        CFilterArray& filters = m_catalog.filters();
        filters.removeAll();
        readObjectArray(ArchiveClass::Filter, [&] {
            std::int32_t version = m_reader.readI32();
            std::int32_t target = m_reader.readI32();
            std::string valueText = m_reader.readString();
            std::int32_t operatorIndex = m_reader.readI32();
            std::int32_t conjunction = m_reader.readI32();
            if (!m_reader.ok())
                return;
            filters.append(CItemFilter(CItemFilter::targetFromRecord(version, target), valueText,
                                       operatorIndex, conjunction));
        });
    }

    void readSortKeys() {
        CSortArray& keys = m_catalog.sortKeys();
        keys.removeAll();
        readObjectArray(ArchiveClass::SortKey, [&] {
            m_reader.readI32();  // version
            std::int32_t key = m_reader.readI32();
            std::int32_t ascending = m_reader.readI32();
            if (!m_reader.ok())
                return;
            keys.append(CSortItem(key, ascending != 0));
        });
    }

    void readCategories() {
        readObjectArray(ArchiveClass::Category, [&] {
            m_reader.readI32();  // version
            CCategory category(m_reader.readString());
            category.setListWidth(m_reader.readI32());
            category.setColumnWidth(m_reader.readI32());
            category.setFlags(static_cast<std::uint32_t>(m_reader.readI32()));
            category.setSelection(m_reader.readStringArray());
            if (!m_reader.ok())
                return;
            m_catalog.appendStoredCategory(std::move(category));
        });
    }

    // Every item record is checked in turn; it finds every fault a full read would find, at the same offset.
    // The records checked are converted meanwhile, on a second thread in a large catalog (see CItemConverter).
    void readItems() {
        std::optional<CItemConverter> converter;
        readObjectArray(
            ArchiveClass::Item,
            [&](std::uint32_t count) {
                const std::size_t fit = m_reader.remaining() / kMinItemElementBytes;
                converter.emplace(m_bytes, static_cast<std::size_t>(m_catalog.categoryCount()), m_release,
                                  std::min<std::size_t>(count, fit));
            },
            [&] {
                const std::size_t start = m_reader.offset();
                skipItemRecord(m_reader);
                if (m_reader.ok())
                    converter->add(start);
            });
        if (!m_reader.ok() || !converter)
            return;
        std::vector<std::unique_ptr<CFileItem>> items;
        if (std::optional<CArchiveError> error = converter->finish(&items)) {
            m_reader.fail(error->kind(), error->offset(), error->detail());
            return;
        }
        m_catalog.setItems(std::move(items));
    }

    static void skipItemRecord(CArchiveReader& reader) {
        reader.readI32();  // version
        for (int field = 0; field < 4; ++field)
            reader.skipString();
        const std::uint32_t count = reader.readCount(kMinStringBytes);
        for (std::uint32_t i = 0; i < count && reader.ok(); ++i)
            reader.skipString();
    }

    CFileCatalog& m_catalog;
    std::string_view m_bytes;
    const CReleasableBytes* m_release;
    CArchiveReader m_reader;
    CObjectTagReader m_tags;
};

// ---- writing -----------------------------------------------------------------------------------------

class CatalogSerializer final {
public:
    CatalogSerializer(const CFileCatalog& catalog, const std::string& catalogFolder)
        : m_catalog(catalog), m_catalogFolder(catalogFolder) {}

    std::string serialize() {
        writeHeader();
        writeFilters();
        writeSortKeys();
        writeCategories();
        writeItems();
        return m_writer.takeBytes();
    }

private:
    void writeHeader() {
        m_writer.writeI32(kRecordVersion);
        m_writer.writeI32(m_catalog.reserved());
        m_writer.writeI32(m_catalog.showName() ? 1 : 0);
        m_writer.writeI32(m_catalog.showDate() ? 1 : 0);
        m_writer.writeI32(m_catalog.showSize() ? 1 : 0);
        m_writer.writeI32(m_catalog.useShortcuts() ? 1 : 0);
        m_writer.writeI32(m_catalog.relativePaths() ? 1 : 0);
        for (int i = 0; i < kReservedIntegers; ++i)
            m_writer.writeI32(0);
        for (int i = 0; i < kReservedStrings; ++i)
            m_writer.writeString("");
    }

    void writeFilters() {
        const std::vector<CItemFilter>& filters = m_catalog.filters().filters();
        m_writer.writeCount(static_cast<std::uint32_t>(filters.size()));
        for (const CItemFilter& filter : filters) {
            m_tags.writeNewObject(m_writer, ArchiveClass::Filter);
            m_writer.writeI32(kFilterVersion);
            m_writer.writeI32(filter.target());
            m_writer.writeString(filter.valueText());
            m_writer.writeI32(filter.operatorIndex());
            m_writer.writeI32(filter.conjunction());
        }
    }

    void writeSortKeys() {
        const std::vector<CSortItem>& keys = m_catalog.sortKeys().keys();
        m_writer.writeCount(static_cast<std::uint32_t>(keys.size()));
        for (const CSortItem& key : keys) {
            m_tags.writeNewObject(m_writer, ArchiveClass::SortKey);
            m_writer.writeI32(kRecordVersion);
            m_writer.writeI32(key.key());
            m_writer.writeI32(key.ascending() ? 1 : 0);
        }
    }

    void writeCategories() {
        m_writer.writeCount(static_cast<std::uint32_t>(m_catalog.categoryCount()));
        for (int i = 0; i < m_catalog.categoryCount(); ++i) {
            const CCategory& category = m_catalog.category(i);
            m_tags.writeNewObject(m_writer, ArchiveClass::Category);
            m_writer.writeI32(kRecordVersion);
            m_writer.writeString(category.name());
            m_writer.writeI32(category.listWidth());
            m_writer.writeI32(category.columnWidth());
            m_writer.writeI32(static_cast<std::int32_t>(category.flags()));
            m_writer.writeStringArray(category.selection());
        }
    }

    void writeItems() {
        const bool relative = !m_catalog.useShortcuts() && m_catalog.relativePaths();
        m_writer.writeCount(static_cast<std::uint32_t>(m_catalog.itemCount()));
        for (const auto& item : m_catalog.items()) {
            m_tags.writeNewObject(m_writer, ArchiveClass::Item);
            m_writer.writeI32(kRecordVersion);
            m_writer.writeString(item->shortcutName());
            m_writer.writeString(item->memo());
            m_writer.writeString(item->title());
            m_writer.writeString(relative ? item->relativePath(m_catalogFolder) : item->path());
            m_writer.writeStringArray(item->valueStrings());
        }
    }

    const CFileCatalog& m_catalog;
    const std::string& m_catalogFolder;
    CArchiveWriter m_writer;
    CObjectTagWriter m_tags;
};

}  // namespace

std::optional<CArchiveError> CCatalogFile::parse(CFileCatalog& catalog, std::string_view bytes,
                                                 const CReleasableBytes* release) {
    if (bytes.empty())
        return std::nullopt;
    std::optional<CArchiveError> error = CatalogParser(catalog, bytes, release).parse();
    if (error)
        catalog.clear();
    return error;
}

std::string CCatalogFile::serialize(const CFileCatalog& catalog, const std::string& catalogFolder) {
    return CatalogSerializer(catalog, catalogFolder).serialize();
}

std::optional<CFileError> CCatalogFile::openForReading(const std::string& path, int* fd, std::uint64_t* size,
                                                       std::optional<CFileStamp>* stamp) {
    *fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (*fd < 0)
        return CFileError::fromErrno(errno, path, false);
    struct stat st {};
    const int error = ::fstat(*fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
    if (error != 0) {
        ::close(*fd);
        *fd = -1;
        return CFileError::fromErrno(error, path, false);
    }
    *size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (stamp != nullptr)
        *stamp = CFileStamp::ofOpenFile(*fd);
    return std::nullopt;
}

std::optional<CFileError> CCatalogFile::appendOpenedFile(int fd, const std::string& path, std::string* bytes) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return CFileError::fromErrno(errno, path, false);
        }
        if (n == 0)
            return std::nullopt;
        bytes->append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<CFileError> CCatalogFile::readFileBytes(const std::string& path, std::string* bytes,
                                                      std::optional<CFileStamp>* stamp) {
    int fd = -1;
    std::uint64_t size = 0;
    if (std::optional<CFileError> error = openForReading(path, &fd, &size, stamp))
        return error;
    bytes->clear();
    bytes->reserve(static_cast<std::size_t>(size));
    std::optional<CFileError> error = appendOpenedFile(fd, path, bytes);
    ::close(fd);
    return error;
}

std::optional<CCatalogFileError> CCatalogFile::read(CFileCatalog& catalog, const std::string& path,
                                                    bool recompute, std::optional<CFileStamp>* stamp) {
    catalog.clear();
    catalog.setPath(path);
    std::optional<CArchiveError> parseError;
    {
        CReleasableBytes bytes;
        if (std::optional<CFileError> error = bytes.readFile(path, stamp)) {
            catalog.clear();
            return CCatalogFileError(*error);
        }
        parseError = parse(catalog, bytes.view(), &bytes);
    }
    if (parseError)
        return CCatalogFileError(*parseError);
    if (recompute)
        catalog.recompute();
    return std::nullopt;
}

std::optional<CCatalogFileError> CCatalogFile::write(CFileCatalog& catalog, const std::string& path,
                                                     const std::optional<CFileStamp>& expected) {
    CFileLock lock;
    // A catalog without a file yet has nothing to lock.
    if (const int error = lock.acquire(path); error != 0 && error != ENOENT)
        return CCatalogFileError(CFileError::fromErrno(error, path, true));
    return writeLocked(catalog, path, expected);
}

std::optional<CCatalogFileError> CCatalogFile::writeLocked(CFileCatalog& catalog, const std::string& path,
                                                           const std::optional<CFileStamp>& expected) {
    if (expected) {
        const std::optional<CFileStamp> now = CFileStamp::of(path);
        if (now && *now != *expected)
            return CCatalogFileError(CFileError::changedOnDisk(path));
    }
    std::string bytes = serialize(catalog, jtext::folderOf(path));
    if (std::optional<CFileError> error = CSafeFileWriter::write(path, bytes))
        return CCatalogFileError(*error);
    catalog.setPath(path);
    return std::nullopt;
}
