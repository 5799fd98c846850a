#include "views/CItemTextWidth.h"

#include <QString>

#include <cmath>

namespace {

// Characters that no shaping joins, reorders or combines with their neighbours.
bool isSimple(char32_t c) {
    return (c >= 0x20 && c < 0x0300) || (c >= 0x0370 && c < 0x0483) || (c >= 0x3000 && c < 0x3099) ||
           (c >= 0x309B && c < 0xA000) || (c >= 0xFF00 && c < 0xFFF0);
}

}  // namespace

CItemTextWidth::CItemTextWidth(const QFont& font) : m_metrics(font), m_metricsF(font) {
    m_ascii.fill(-1.0);
}

qreal CItemTextWidth::advance(char32_t character) {
    if (character < m_ascii.size()) {
        qreal& known = m_ascii[character];
        if (known < 0) {
            known = m_metricsF.horizontalAdvance(QChar(static_cast<char16_t>(character)));
        }
        return known;
    }
    const auto found = m_others.find(character);
    if (found != m_others.end()) {
        return found->second;
    }
    const qreal measured = m_metricsF.horizontalAdvance(QChar(static_cast<char16_t>(character)));
    m_others.emplace(character, measured);
    return measured;
}

int CItemTextWidth::shaped(std::string_view text) const {
    return m_metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

int CItemTextWidth::width(std::string_view text) {
    qreal sum = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        char32_t character = 0;
        std::size_t length = 1;
        if (lead < 0x80) {
            character = lead;
        } else if ((lead & 0xE0) == 0xC0 && i + 1 < size) {
            character = (char32_t(lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F);
            length = 2;
        } else if ((lead & 0xF0) == 0xE0 && i + 2 < size) {
            character = (char32_t(lead & 0x0F) << 12) | (char32_t(bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F);
            length = 3;
        } else {
            // Four-byte forms, stray bytes and cut sequences: shaped as a whole.
            return shaped(text);
        }
        if (!isSimple(character)) {
            return shaped(text);
        }
        sum += advance(character);
        i += length;
    }
    return static_cast<int>(std::ceil(sum + kSlack));
}
