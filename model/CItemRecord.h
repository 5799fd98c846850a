#pragma once

// The stored part of an item, in one allocation: a small header, the end offset of every text, then the
// texts back to back (shortcut name, memo, title, path, then one value string per category, in the order of
// the file). The offsets take two bytes each when the texts fit in 64 KB, which nearly every item's do, and
// four bytes otherwise. A record is immutable once made; items share it through a counted pointer, and a
// change makes a new record (copy on write), so undo snapshots cost little more than the records changed.
//
// A record has an allocation of its own, or a place in a large block shared with the records made after it
// by the same builder (a catalog being read); a block is freed with the last of its records.
//
// The numbers of the values (see CValueInterner) are built on first use into a block of their own, safely
// when several threads ask at once.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/CValueInterner.h"

class CItemRecord final {
public:
    enum class Field : std::uint8_t { ShortcutName = 0, Memo = 1, Title = 2, Path = 3 };
    static constexpr std::size_t kFieldCount = 4;

    // A counted reference to a record; a null Ptr stands for no record.
    class Ptr final {
    public:
        Ptr() = default;
        Ptr(const Ptr& other) : m_record(other.m_record) { retain(); }
        Ptr(Ptr&& other) noexcept : m_record(other.m_record) { other.m_record = nullptr; }
        Ptr& operator=(const Ptr& other);
        Ptr& operator=(Ptr&& other) noexcept;
        ~Ptr() { release(); }

        const CItemRecord* get() const { return m_record; }
        const CItemRecord& operator*() const { return *m_record; }
        const CItemRecord* operator->() const { return m_record; }
        explicit operator bool() const { return m_record != nullptr; }
        // Whether this is the only reference (a change may then be made in place).
        bool unique() const {
            return m_record != nullptr && m_record->m_refs.load(std::memory_order_acquire) == 1;
        }
        bool operator==(const Ptr& other) const { return m_record == other.m_record; }

    private:
        friend class CItemRecord;
        explicit Ptr(const CItemRecord* adopted) : m_record(adopted) {}
        void retain() const {
            if (m_record != nullptr)
                m_record->m_refs.fetch_add(1, std::memory_order_relaxed);
        }
        void release();

        const CItemRecord* m_record = nullptr;
    };

    // Builds records text by text, for a reader that converts each text straight into place. One builder
    // serves many records: its buffers keep their capacity, and each finish() makes one record of the exact
    // size, in an allocation of its own or, with Placement::Packed, in the builder's current block.
    class Builder final {
    public:
        enum class Placement : std::uint8_t { Own, Packed };

        explicit Builder(Placement placement = Placement::Own) : m_placement(placement) {}
        ~Builder();
        Builder(const Builder&) = delete;
        Builder& operator=(const Builder&) = delete;

        // Room for `bytes` more bytes of the text being built, at its end: write there, then say how many
        // were written with added().
        char* room(std::size_t bytes) {
            if (m_bytes.size() - m_size < bytes)
                grow(bytes);
            return m_bytes.data() + m_size;
        }
        void added(std::size_t bytes) { m_size += bytes; }
        void append(std::string_view text);
        // Ends the text being built; the next bytes added start the next one.
        void endText() { m_ends.push_back(m_size); }
        // The four fields and exactly `valueCount` value strings: texts not built are empty, texts beyond
        // them are dropped. Empties the builder.
        Ptr finish(std::size_t valueCount);

    private:
        void grow(std::size_t bytes);
        // Memory for a record of `bytes`, and its place in the current block (0: an allocation of its own).
        void* allocate(std::size_t bytes, std::uint32_t* place);
        void leaveBlock();

        std::vector<char> m_bytes;  // its size is the capacity; m_size bytes are used
        std::size_t m_size = 0;
        std::vector<std::size_t> m_ends;
        Placement m_placement;
        char* m_block = nullptr;  // the block being filled, holding one reference for the builder
        std::size_t m_blockUsed = 0;
    };

    // A record of the four fields and the value strings.
    static Ptr make(std::string_view shortcutName, std::string_view memo, std::string_view title,
                    std::string_view path, std::span<const std::string_view> values);
    // Empty fields and `valueCount` empty value strings.
    static Ptr empty(std::size_t valueCount);

    CItemRecord(const CItemRecord&) = delete;
    CItemRecord& operator=(const CItemRecord&) = delete;

    std::string_view field(Field field) const { return text(static_cast<std::size_t>(field)); }
    std::size_t valueCount() const { return textCount() - kFieldCount; }
    // Value string i; i must be below valueCount().
    std::string_view value(std::size_t i) const { return text(kFieldCount + i); }

    // A copy with text k (a field's index, or kFieldCount + a value index) replaced.
    Ptr withText(std::size_t k, std::string_view text) const;
    // A copy with the same fields and other value strings.
    Ptr withValues(std::span<const std::string_view> values) const;

    // The numbers of the values of value string i (i below valueCount()). Built for all value strings on the
    // first call; safe to call from several threads at once.
    std::span<const CValueInterner::Id> valueIds(std::size_t i) const;
    // Calls fn(value) for every value of a value string: single commas separate, ",," stays inside a value.
    template <typename Fn>
    static void forEachValue(std::string_view text, Fn&& fn);

    // Whether the numbers are built (valueIds then costs no work).
    bool valuesNumbered() const { return m_valueIds.load(std::memory_order_acquire) != nullptr; }

private:
    // m_texts holds the number of texts (bits 0-15), whether the ends are four bytes wide (bit 16), and the
    // record's place in its block in units of kBlockAlign bytes (bits 17-31; 0 for an allocation of its own).
    static constexpr std::uint32_t kTextCountMask = 0xFFFF;
    static constexpr std::uint32_t kWideEnds = 0x10000;
    static constexpr int kPlaceShift = 17;
    static constexpr std::size_t kBlockAlign = 8;
    static constexpr std::size_t kBlockBytes = (std::size_t{1} << (32 - kPlaceShift)) * kBlockAlign;

    explicit CItemRecord(std::uint32_t texts) : m_texts(texts) {}
    ~CItemRecord();
    static Ptr build(std::span<const std::string_view> texts);
    static void destroy(const CItemRecord* record);

    std::size_t textCount() const { return m_texts & kTextCountMask; }
    bool wideEnds() const { return (m_texts & kWideEnds) != 0; }
    const unsigned char* tail() const { return reinterpret_cast<const unsigned char*>(this + 1); }
    std::size_t endOf(std::size_t k) const;
    const char* bytes() const {
        return reinterpret_cast<const char*>(tail() + textCount() * (wideEnds() ? 4 : 2));
    }
    std::string_view text(std::size_t k) const {
        const std::size_t begin = k == 0 ? 0 : endOf(k - 1);
        return std::string_view(bytes() + begin, endOf(k) - begin);
    }
    // One block: first valueCount() + 1 slot starts, then the numbers slot after slot.
    const std::uint32_t* idBlock() const;
    const std::uint32_t* buildValueIds() const;

    mutable std::atomic<std::uint32_t> m_refs{0};
    std::uint32_t m_texts;
    mutable std::atomic<const std::uint32_t*> m_valueIds{nullptr};
};

template <typename Fn>
void CItemRecord::forEachValue(std::string_view text, Fn&& fn) {
    if (text.empty())
        return;
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
