#pragma once

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QString>

#include <vector>

// Measures texts in one font for fitting columns. Shaping a text is the costly part of measuring it, and
// a column of 100,000 distinct names would be shaped 100,000 times; but for scripts whose characters keep
// their advance whatever stands next to them (Latin, Greek, Cyrillic, kana, kanji, full-width forms) the
// sum of the characters' advances, each measured once, is the width up to kerning. That sum, rounded up
// and with a little slack for kerning, is used for such texts; any other text is shaped.
class CUGTextMeasure final {
public:
    explicit CUGTextMeasure(const QFont& font);

    // A width that the text, as drawn, does not exceed.
    int width(const QString& text);

private:
    static constexpr qreal kSlack = 1.0;

    QFontMetrics m_metrics;
    QFontMetricsF m_metricsF;
    std::vector<qreal> m_advances;  // per UTF-16 unit; negative: not measured yet
};
