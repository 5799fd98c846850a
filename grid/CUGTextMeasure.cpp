#include "grid/CUGTextMeasure.h"

#include <cmath>

namespace {

// Characters that no shaping joins, reorders or combines with their neighbours.
bool isSimple(char16_t unit) {
    return (unit >= 0x20 && unit < 0x0300) || (unit >= 0x0370 && unit < 0x0483) ||
           (unit >= 0x3000 && unit < 0x3099) || (unit >= 0x309B && unit < 0xA000) ||
           (unit >= 0xFF00 && unit < 0xFFF0);
}

}  // namespace

CUGTextMeasure::CUGTextMeasure(const QFont& font) : m_metrics(font), m_metricsF(font), m_advances(0x10000, -1.0) {}

int CUGTextMeasure::width(const QString& text) {
    qreal sum = 0;
    for (const QChar character : text) {
        if (!isSimple(character.unicode())) {
            return m_metrics.horizontalAdvance(text);
        }
        qreal& advance = m_advances[character.unicode()];
        if (advance < 0) {
            advance = m_metricsF.horizontalAdvance(character);
        }
        sum += advance;
    }
    return static_cast<int>(std::ceil(sum + kSlack));
}
