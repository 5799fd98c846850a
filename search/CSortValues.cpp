#include "search/CSortValues.h"

#include <cmath>
#include <string>

#include "model/CFileItem.h"
#include "search/CSortKeyCache.h"
#include "text/Normalize.h"

namespace {

constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

// The sorted value text of a stored value string: the string itself when it holds no ","; else its values
// sorted (upper-casing list sort) and joined with ",".
std::string sortedValueText(std::string_view valueString) {
    if (valueString.find(',') == std::string_view::npos) {
        return std::string(valueString);
    }
    std::vector<std::string> values = CFileItem::splitValues(valueString);
    jtext::normalizedSort(values, jtext::kNormCase);
    return CFileItem::joinValues(values);
}

}  // namespace

CSortValues::CSortValues(const std::vector<CFileItem*>& items, const std::vector<CSortItem>& keys,
                         CSortKeyCache& cache)
    : m_items(items), m_keys(keys), m_cache(cache), m_ranks(keys.size()), m_complete(keys.size(), false) {}

std::string_view CSortValues::extensionOf(const CFileItem& item) {
    if (item.kind() == ItemKind::Folder) {
        return {};
    }
    const std::string_view name = item.displayName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string_view CSortValues::folderOf(const CFileItem& item) {
    const std::string_view path = item.path();
    if (item.kind() == ItemKind::Folder) {
        return path;
    }
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string_view CSortValues::sourceOf(int key, const CFileItem& item) const {
    switch (key) {
        case CSortItem::kName:
            return item.displayName();
        case CSortItem::kExtension:
            return extensionOf(item);
        case CSortItem::kFolder:
            return folderOf(item);
        default:
            return item.valueString(key);
    }
}

double CSortValues::days(std::size_t i) {
    if (m_days.empty()) {
        m_days.reserve(m_items.size());
        for (const CFileItem* item : m_items) {
            m_days.push_back(item->date().chronologicalDays());
        }
    }
    return m_days[i];
}

int CSortValues::compare(std::size_t a, std::size_t b) {
    for (std::size_t k = 0; k < m_keys.size(); ++k) {
        int order = 0;
        const int key = m_keys[k].key();
        if (key == CSortItem::kDate) {
            const double seconds = std::trunc((days(a) - days(b)) * 86400.0);
            order = seconds < 0 ? -1 : seconds > 0 ? 1 : 0;
        } else if (key == CSortItem::kSize) {
            const std::uint64_t sizeA = m_items[a]->size();
            const std::uint64_t sizeB = m_items[b]->size();
            order = sizeA < sizeB ? -1 : sizeB < sizeA ? 1 : 0;
        } else if (key >= CSortItem::kFolder) {
            const std::uint32_t rankA = rankOf(k, a);
            const std::uint32_t rankB = rankOf(k, b);
            order = rankA < rankB ? -1 : rankB < rankA ? 1 : 0;
        }
        if (order != 0) {
            return m_keys[k].ascending() ? order : -order;
        }
    }
    return 0;
}

std::uint64_t CSortValues::value(std::size_t k, std::size_t i) {
    const std::uint64_t value = m_keys[k].key() == CSortItem::kSize ? m_items[i]->size() : rankOf(k, i);
    return m_keys[k].ascending() ? value : ~value;
}

std::uint32_t CSortValues::rankOf(std::size_t k, std::size_t i) {
    std::vector<std::uint32_t>& ranks = m_ranks[k];
    if (ranks.empty()) {
        ranks.assign(m_items.size(), kUnknown);
    }
    if (ranks[i] != kUnknown) {
        return ranks[i];
    }
    std::uint32_t rank = kUnknown;
    if (!m_complete[k] && m_cache.knownRank(m_keys[k].key(), sourceOf(m_keys[k].key(), *m_items[i]), rank)) {
        ranks[i] = rank;
        return rank;
    }
    rankAll(k);
    return ranks[i];
}

// Learns every item's text for the key and ranks them all; the ranks taken before keep their order.
void CSortValues::rankAll(std::size_t k) {
    const int key = m_keys[k].key();
    std::vector<std::string_view> sources;
    sources.reserve(m_items.size());
    for (const CFileItem* item : m_items) {
        sources.push_back(sourceOf(key, *item));
    }
    if (m_cache.rank(key, sources, m_ranks[k], key >= 0 ? &sortedValueText : nullptr)) {
        ++m_learnt;
    }
    m_complete[k] = true;
}

void CSortValues::prepare(std::size_t k, std::size_t count) {
    const int key = m_keys[k].key();
    const bool text = key != CSortItem::kDate && key != CSortItem::kSize && key >= CSortItem::kFolder;
    if (text && !m_complete[k] && count * 8 > m_items.size()) {
        rankAll(k);
    }
}
