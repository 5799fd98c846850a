#pragma once

#include <QFontMetrics>
#include <QFontMetricsF>

#include <array>
#include <string_view>
#include <unordered_map>

// Measures the item texts of the catalog (UTF-8) in one font, for fitting the grid's columns over every
// row. As the grid's own measure does, it sums the characters' advances, each measured once, for texts
// whose characters keep their advance whatever stands beside them (Latin, kana, kanji, full-width forms),
// and shapes any other text; reading the UTF-8 directly spares a QString per cell.
class CItemTextWidth final {
public:
    explicit CItemTextWidth(const QFont& font);

    // A width that the text, as drawn, does not exceed.
    int width(std::string_view text);

private:
    static constexpr qreal kSlack = 1.0;

    qreal advance(char32_t character);
    int shaped(std::string_view text) const;

    QFontMetrics m_metrics;
    QFontMetricsF m_metricsF;
    std::array<qreal, 128> m_ascii{};
    std::unordered_map<char32_t, qreal> m_others;
};
