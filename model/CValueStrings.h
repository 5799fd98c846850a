#pragma once

// The value strings of an item, one per category, packed into one block: the texts back to back, followed by
// the end offset of each text as a 32-bit word. A hundred thousand items of ten categories then cost one
// allocation each for their values instead of ten, which is most of what reading a catalog costs.
//
// Changes rebuild the block; they are rare next to reads (one edit in the grid, one drop of files).

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

class CValueStrings final {
public:
    class Iterator final {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        Iterator() = default;
        Iterator(const CValueStrings* strings, std::size_t i) : m_strings(strings), m_i(i) {}
        std::string_view operator*() const { return (*m_strings)[m_i]; }
        Iterator& operator++() {
            ++m_i;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++m_i;
            return before;
        }
        bool operator==(const Iterator& other) const { return m_i == other.m_i; }

    private:
        const CValueStrings* m_strings = nullptr;
        std::size_t m_i = 0;
    };

    // Builds value strings in place, for a reader that converts each text straight into the block. One
    // builder serves many items: its buffers keep their capacity, and each finish() allocates one block of
    // the exact size.
    class Builder final {
    public:
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
        void endText() { m_ends.push_back(static_cast<std::uint32_t>(m_size)); }
        // Exactly `count` strings: missing ones are empty, extra ones dropped. Empties the builder.
        CValueStrings finish(std::size_t count);

    private:
        void grow(std::size_t bytes);

        std::vector<char> m_bytes;  // its size is the capacity; m_size bytes are used
        std::size_t m_size = 0;
        std::vector<std::uint32_t> m_ends;
    };

    CValueStrings() = default;
    // `count` empty strings.
    explicit CValueStrings(std::size_t count);
    explicit CValueStrings(const std::vector<std::string>& strings);

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // String i; i must be below size().
    std::string_view operator[](std::size_t i) const;
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, m_count); }
    std::vector<std::string> toVector() const;

    void set(std::size_t i, std::string_view text);
    void append(std::string_view text);
    void erase(std::size_t i);
    void swap(std::size_t i, std::size_t j);

    bool operator==(const CValueStrings& other) const;

private:
    CValueStrings(std::string block, std::size_t count) : m_block(std::move(block)), m_count(count) {}
    std::uint32_t endOf(std::size_t i) const;
    // The block of `strings`, in order.
    template <typename Strings>
    static CValueStrings pack(const Strings& strings);

    std::string m_block;
    std::size_t m_count = 0;
};
