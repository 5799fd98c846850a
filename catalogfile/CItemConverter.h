#pragma once

// Turns the item records of a catalog file into items while the reader is still checking the records after
// them. The reader adds the start of each record it has checked. In a large catalog a second thread converts
// the checked records from the front meanwhile; when all are checked, the reader's thread converts from the
// back until the two meet. Only checked records are converted, so a fault anywhere still fails the whole read
// at its offset, and the items converted before it are dropped.

#include <cstddef>
#include <exception>
#include <memory>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "catalogfile/CArchiveError.h"
#include "catalogfile/CChunkClaims.h"
#include "model/CFileItem.h"

class CArchiveReader;
class CReleasableBytes;

class CItemConverter final {
public:
    // `bytes`: the whole file. `categories`: the value strings each item gets. `release`, when given: the
    // memory of the records converted is given back as the conversion goes. `records`: the most records
    // that can be added, which the file's size bounds.
    CItemConverter(std::string_view bytes, std::size_t categories, const CReleasableBytes* release,
                   std::size_t records);
    ~CItemConverter();
    CItemConverter(const CItemConverter&) = delete;
    CItemConverter& operator=(const CItemConverter&) = delete;

    // The record at `start` is sound.
    void add(std::size_t start) {
        m_starts[m_added++] = start;
        if (m_added % kChunk == 0 && m_helper.joinable())
            m_claims.publish(m_added);
    }
    // Every record is added: converts what is left and hands over the items, one per record in file order, or
    // the fault met.
    std::optional<CArchiveError> finish(std::vector<std::unique_ptr<CFileItem>>* items);

private:
    static constexpr std::size_t kChunk = 1024;
    // Below this many records a second thread costs more than it saves.
    static constexpr std::size_t kRecordsWorthAThread = 32768;

    // Converts the front's chunks until none is left; on the second thread.
    void convertFront();
    // Converts records [begin, end), which are all added.
    std::optional<CArchiveError> convertRange(CItemRecord::Builder& texts, std::size_t begin, std::size_t end);

    std::string_view m_bytes;
    std::size_t m_categories;
    const CReleasableBytes* m_release;
    std::unique_ptr<std::size_t[]> m_starts;
    std::size_t m_added = 0;
    std::vector<std::unique_ptr<CFileItem>> m_items;
    CChunkClaims m_claims{kChunk};
    std::optional<CArchiveError> m_frontError;
    std::exception_ptr m_frontFailure;
    std::thread m_helper;
};
