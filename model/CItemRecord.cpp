#include "model/CItemRecord.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "model/CValueIdCache.h"

namespace {

constexpr std::size_t kNarrowLimit = 0xFFFF;

// A block of records starts with the count of its references: one per live record, one for the builder
// filling it. Records follow at kBlockAlign boundaries.
struct BlockHeader {
    std::atomic<std::uint32_t> refs;
};
constexpr std::size_t kBlockHeaderBytes = 16;
static_assert(sizeof(BlockHeader) <= kBlockHeaderBytes);

void releaseBlock(char* block) {
    auto* header = reinterpret_cast<BlockHeader*>(block);
    if (header->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        header->~BlockHeader();
        ::operator delete(block);
    }
}

}  // namespace

// ---- the counted pointer ----

CItemRecord::Ptr& CItemRecord::Ptr::operator=(const Ptr& other) {
    if (m_record != other.m_record) {
        other.retain();
        release();
        m_record = other.m_record;
    }
    return *this;
}

CItemRecord::Ptr& CItemRecord::Ptr::operator=(Ptr&& other) noexcept {
    if (this != &other) {
        release();
        m_record = other.m_record;
        other.m_record = nullptr;
    }
    return *this;
}

void CItemRecord::Ptr::release() {
    if (m_record != nullptr && m_record->m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        destroy(m_record);
    m_record = nullptr;
}

void CItemRecord::destroy(const CItemRecord* record) {
    const std::uint32_t place = record->m_texts >> kPlaceShift;
    auto* memory = const_cast<char*>(reinterpret_cast<const char*>(record));
    record->~CItemRecord();
    if (place == 0)
        ::operator delete(memory);
    else
        releaseBlock(memory - place * kBlockAlign);
}

// ---- making records ----

namespace {

// Writes end offset `end` as entry k of the ends at `tail`, two or four bytes wide.
void putEnd(unsigned char* tail, bool wide, std::size_t k, std::size_t end) {
    if (wide) {
        const auto word = static_cast<std::uint32_t>(end);
        std::memcpy(tail + k * 4, &word, 4);
    } else {
        const auto half = static_cast<std::uint16_t>(end);
        std::memcpy(tail + k * 2, &half, 2);
    }
}

}  // namespace

CItemRecord::~CItemRecord() {
    delete[] m_valueIds.load(std::memory_order_relaxed);
}

std::size_t CItemRecord::endOf(std::size_t k) const {
    if (wideEnds()) {
        std::uint32_t word;
        std::memcpy(&word, tail() + k * 4, 4);
        return word;
    }
    std::uint16_t half;
    std::memcpy(&half, tail() + k * 2, 2);
    return half;
}

// Edits are rare next to reads: a record made from texts goes through a builder of its own.
CItemRecord::Ptr CItemRecord::build(std::span<const std::string_view> texts) {
    Builder builder;
    for (const std::string_view text : texts) {
        builder.append(text);
        builder.endText();
    }
    return builder.finish(texts.size() - kFieldCount);
}

CItemRecord::Ptr CItemRecord::make(std::string_view shortcutName, std::string_view memo,
                                   std::string_view title, std::string_view path,
                                   std::span<const std::string_view> values) {
    std::vector<std::string_view> texts{shortcutName, memo, title, path};
    texts.insert(texts.end(), values.begin(), values.end());
    return build(texts);
}

CItemRecord::Ptr CItemRecord::empty(std::size_t valueCount) {
    const std::vector<std::string_view> texts(kFieldCount + valueCount);
    return build(texts);
}

CItemRecord::Ptr CItemRecord::withText(std::size_t k, std::string_view replacement) const {
    std::vector<std::string_view> texts(textCount());
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = i == k ? replacement : text(i);
    return build(texts);
}

CItemRecord::Ptr CItemRecord::withValues(std::span<const std::string_view> values) const {
    return make(field(Field::ShortcutName), field(Field::Memo), field(Field::Title), field(Field::Path),
                values);
}

// ---- the builder ----

void CItemRecord::Builder::grow(std::size_t bytes) {
    m_bytes.resize(std::max(m_bytes.size() * 2, m_size + bytes));
}

void CItemRecord::Builder::append(std::string_view text) {
    if (text.empty())
        return;
    std::memcpy(room(text.size()), text.data(), text.size());
    added(text.size());
}

CItemRecord::Builder::~Builder() {
    leaveBlock();
}

void CItemRecord::Builder::leaveBlock() {
    if (m_block != nullptr)
        releaseBlock(m_block);
    m_block = nullptr;
}

// A record larger than an eighth of a block gets an allocation of its own, so that blocks stay well filled.
void* CItemRecord::Builder::allocate(std::size_t bytes, std::uint32_t* place) {
    *place = 0;
    if (m_placement == Placement::Own || bytes > kBlockBytes / 8)
        return ::operator new(bytes);
    const std::size_t rounded = (bytes + kBlockAlign - 1) / kBlockAlign * kBlockAlign;
    if (m_block == nullptr || kBlockBytes - m_blockUsed < rounded) {
        leaveBlock();
        m_block = static_cast<char*>(::operator new(kBlockBytes));
        new (m_block) BlockHeader{1};
        m_blockUsed = kBlockHeaderBytes;
    }
    reinterpret_cast<BlockHeader*>(m_block)->refs.fetch_add(1, std::memory_order_relaxed);
    char* memory = m_block + m_blockUsed;
    *place = static_cast<std::uint32_t>(m_blockUsed / kBlockAlign);
    m_blockUsed += rounded;
    return memory;
}

CItemRecord::Ptr CItemRecord::Builder::finish(std::size_t valueCount) {
    const std::size_t texts = kFieldCount + valueCount;
    if (texts > kTextCountMask)
        throw std::length_error("an item record holds at most 65535 texts");
    m_ends.resize(std::min(m_ends.size(), texts));
    const std::size_t bytes = m_ends.empty() ? 0 : m_ends.back();
    m_ends.resize(texts, bytes);
    const bool wide = bytes > kNarrowLimit;
    const std::size_t endBytes = texts * (wide ? 4 : 2);
    std::uint32_t place = 0;
    void* memory = allocate(sizeof(CItemRecord) + endBytes + bytes, &place);
    auto* record = new (memory) CItemRecord(static_cast<std::uint32_t>(texts) | (wide ? kWideEnds : 0) |
                                            (place << kPlaceShift));
    auto* tail = reinterpret_cast<unsigned char*>(record + 1);
    for (std::size_t k = 0; k < texts; ++k)
        putEnd(tail, wide, k, m_ends[k]);
    if (bytes > 0)
        std::memcpy(tail + endBytes, m_bytes.data(), bytes);
    record->m_refs.store(1, std::memory_order_relaxed);
    m_size = 0;
    m_ends.clear();
    return Ptr(record);
}

// ---- value numbers ----

const std::uint32_t* CItemRecord::idBlock() const {
    const std::uint32_t* block = m_valueIds.load(std::memory_order_acquire);
    return block != nullptr ? block : buildValueIds();
}

std::span<const CValueInterner::Id> CItemRecord::valueIds(std::size_t i) const {
    const std::uint32_t* block = idBlock();
    const std::uint32_t* numbers = block + valueCount() + 1;
    return std::span<const CValueInterner::Id>(numbers + block[i], block[i + 1] - block[i]);
}

// The numbers are gathered in a per-thread buffer and copied into a block of their exact size; they come
// from a per-thread memo in front of the interner. Two threads may build at once: the first block installed
// wins and the other is discarded.
const std::uint32_t* CItemRecord::buildValueIds() const {
    thread_local CValueIdCache ids;
    thread_local std::vector<std::uint32_t> built;
    const std::size_t slots = valueCount();
    built.assign(slots + 1, 0);
    for (std::size_t i = 0; i < slots; ++i) {
        built[i] = static_cast<std::uint32_t>(built.size() - (slots + 1));
        forEachValue(value(i), [&](std::string_view text) { built.push_back(ids.intern(text)); });
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
