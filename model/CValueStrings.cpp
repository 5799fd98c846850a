#include "model/CValueStrings.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

void appendWord(std::string& block, std::uint32_t word) {
    char bytes[sizeof word];
    std::memcpy(bytes, &word, sizeof word);
    block.append(bytes, sizeof word);
}

}  // namespace

template <typename Strings>
CValueStrings CValueStrings::pack(const Strings& strings) {
    std::size_t textSize = 0;
    for (const auto& text : strings)
        textSize += std::string_view(text).size();
    std::string block;
    block.reserve(textSize + strings.size() * sizeof(std::uint32_t));
    for (const auto& text : strings)
        block += std::string_view(text);
    std::uint32_t end = 0;
    for (const auto& text : strings) {
        end += static_cast<std::uint32_t>(std::string_view(text).size());
        appendWord(block, end);
    }
    return CValueStrings(std::move(block), strings.size());
}

void CValueStrings::Builder::grow(std::size_t bytes) {
    m_bytes.resize(std::max(m_bytes.size() * 2, m_size + bytes));
}

void CValueStrings::Builder::append(std::string_view text) {
    if (text.empty())
        return;
    std::memcpy(room(text.size()), text.data(), text.size());
    added(text.size());
}

CValueStrings CValueStrings::Builder::finish(std::size_t count) {
    m_ends.resize(std::min(m_ends.size(), count));
    const std::uint32_t textEnd = m_ends.empty() ? 0 : m_ends.back();
    m_ends.resize(count, textEnd);
    std::string block;
    block.reserve(textEnd + count * sizeof(std::uint32_t));
    block.append(m_bytes.data(), textEnd);
    block.append(reinterpret_cast<const char*>(m_ends.data()), count * sizeof(std::uint32_t));
    m_size = 0;
    m_ends.clear();
    return CValueStrings(std::move(block), count);
}

CValueStrings::CValueStrings(std::size_t count) : m_block(count * sizeof(std::uint32_t), '\0'), m_count(count) {}

CValueStrings::CValueStrings(const std::vector<std::string>& strings) : CValueStrings(pack(strings)) {}

std::uint32_t CValueStrings::endOf(std::size_t i) const {
    std::uint32_t end;
    std::memcpy(&end, m_block.data() + m_block.size() - (m_count - i) * sizeof end, sizeof end);
    return end;
}

std::string_view CValueStrings::operator[](std::size_t i) const {
    const std::uint32_t begin = i == 0 ? 0 : endOf(i - 1);
    return std::string_view(m_block.data() + begin, endOf(i) - begin);
}

std::vector<std::string> CValueStrings::toVector() const {
    return std::vector<std::string>(begin(), end());
}

void CValueStrings::set(std::size_t i, std::string_view text) {
    std::vector<std::string_view> texts(begin(), end());
    texts[i] = text;
    *this = pack(texts);
}

void CValueStrings::append(std::string_view text) {
    std::vector<std::string_view> texts(begin(), end());
    texts.push_back(text);
    *this = pack(texts);
}

void CValueStrings::erase(std::size_t i) {
    std::vector<std::string_view> texts(begin(), end());
    texts.erase(texts.begin() + static_cast<std::ptrdiff_t>(i));
    *this = pack(texts);
}

void CValueStrings::swap(std::size_t i, std::size_t j) {
    std::vector<std::string_view> texts(begin(), end());
    std::swap(texts[i], texts[j]);
    *this = pack(texts);
}

bool CValueStrings::operator==(const CValueStrings& other) const {
    return m_count == other.m_count && m_block == other.m_block;
}
