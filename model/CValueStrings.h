#pragma once

// The value strings of an item, one per category: a view of the item's record that keeps the record alive,
// so it stays valid when the item changes afterwards.

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "model/CItemRecord.h"

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
        Iterator(const CItemRecord* record, std::size_t i) : m_record(record), m_i(i) {}
        std::string_view operator*() const { return m_record->value(m_i); }
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
        const CItemRecord* m_record = nullptr;
        std::size_t m_i = 0;
    };

    explicit CValueStrings(CItemRecord::Ptr record) : m_record(std::move(record)) {}

    std::size_t size() const { return m_record->valueCount(); }
    bool empty() const { return size() == 0; }
    // String i; i must be below size().
    std::string_view operator[](std::size_t i) const { return m_record->value(i); }
    Iterator begin() const { return Iterator(m_record.get(), 0); }
    Iterator end() const { return Iterator(m_record.get(), size()); }
    std::vector<std::string> toVector() const { return std::vector<std::string>(begin(), end()); }

    bool operator==(const CValueStrings& other) const;

private:
    CItemRecord::Ptr m_record;
};
