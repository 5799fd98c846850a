#include "catalogfile/CItemConverter.h"

#include "catalogfile/CArchiveReader.h"
#include "catalogfile/CReleasableBytes.h"
#include "catalogfile/CatalogFormat.h"

using namespace catalog_format;

CItemConverter::CItemConverter(std::string_view bytes, std::size_t categories, const CReleasableBytes* release,
                               std::size_t records)
    : m_bytes(bytes),
      m_categories(categories),
      m_release(release),
      m_starts(std::make_unique_for_overwrite<std::size_t[]>(records)),
      m_items(records) {
    if (records >= kRecordsWorthAThread && std::thread::hardware_concurrency() >= 2)
        m_helper = std::thread([this] { convertFront(); });
}

CItemConverter::~CItemConverter() {
    if (m_helper.joinable()) {
        m_claims.abandon();
        m_helper.join();
    }
}

void CItemConverter::convertFront() {
    try {
        CItemRecord::Builder texts(CItemRecord::Builder::Placement::Packed);
        for (CChunkClaims::Range range = m_claims.claimFront(); !range.empty(); range = m_claims.claimFront()) {
            m_frontError = convertRange(texts, range.begin, range.end);
            if (m_frontError)
                return;
        }
    } catch (...) {
        m_frontFailure = std::current_exception();
    }
}

// Without a second thread the back simply takes every chunk. A failure thrown here leaves the helper to the
// destructor, which stops it.
std::optional<CArchiveError> CItemConverter::finish(std::vector<std::unique_ptr<CFileItem>>* items) {
    m_claims.close(m_added);
    std::optional<CArchiveError> backError;
    {
        CItemRecord::Builder texts(CItemRecord::Builder::Placement::Packed);
        for (CChunkClaims::Range range = m_claims.claimBack(); !range.empty() && !backError;
             range = m_claims.claimBack()) {
            backError = convertRange(texts, range.begin, range.end);
        }
    }
    if (m_helper.joinable())
        m_helper.join();
    if (m_frontFailure)
        std::rethrow_exception(m_frontFailure);
    // The front converts the earlier records: its fault comes first in the file.
    if (m_frontError)
        return m_frontError;
    if (backError)
        return backError;
    m_items.resize(m_added);
    *items = std::move(m_items);
    return std::nullopt;
}

// Every item gets exactly one value string per category: a record with fewer is padded with empty strings,
// one with more loses the extra ones, which no category could show. The value strings are converted straight
// into their record; the count read is bounded by the rest of the file and the categories by the category
// records read, so nothing can allocate more than the file justifies.
std::optional<CArchiveError> CItemConverter::convertRange(CItemRecord::Builder& texts, std::size_t begin,
                                                          std::size_t end) {
    CArchiveReader reader(m_bytes);
    for (std::size_t i = begin; i < end; ++i) {
        reader.seek(m_starts[i]);
        reader.readI32();  // version
        for (std::size_t field = 0; field < CItemRecord::kFieldCount; ++field) {
            reader.appendString(texts);
            texts.endText();
        }
        const std::uint32_t count = reader.readCount(kMinStringBytes);
        for (std::uint32_t v = 0; v < count && reader.ok(); ++v) {
            reader.appendString(texts);
            texts.endText();
        }
        CItemRecord::Ptr record = texts.finish(m_categories);
        if (!reader.ok())
            return reader.error();
        m_items[i] = std::make_unique<CFileItem>(std::move(record));
    }
    // Up to the start of the range's last record: where it ends is not known yet while records are added.
    if (m_release != nullptr && begin < end)
        m_release->release(m_starts[begin], m_starts[end - 1]);
    return std::nullopt;
}
