#include "search/CItemFilter.h"

#include <climits>
#include <limits>

#include "model/CExtArray.h"
#include "model/CFileItem.h"
#include "search/CTextFileSearch.h"
#include "text/Normalize.h"

namespace {

bool contains(std::string_view text, std::string_view pattern) {
    return jtext::normalizedSearch(text, pattern, jtext::kNormCase) >= 0;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return jtext::normalizedCompare(a, b, jtext::kNormCase) == 0;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool allDigits(std::string_view text) {
    for (const char c : text) {
        if (!isDigit(c)) {
            return false;
        }
    }
    return true;
}

// As the C library's atoi: leading blanks, an optional sign, the digits up to the first other character.
int atoiLike(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) {
            value = static_cast<long long>(INT_MAX) + 1;
        }
    }
    value = negative ? -value : value;
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool parseDatePart(std::string_view text, COleDate::Fields& fields) {
    const std::size_t first = text.find('/');
    if (first == std::string_view::npos) {
        return false;
    }
    const std::size_t second = text.find('/', first + 1);
    if (second == std::string_view::npos) {
        return false;
    }
    int year = atoiLike(text.substr(0, first));
    const int month = atoiLike(text.substr(first + 1, second - first - 1));
    const int day = atoiLike(text.substr(second + 1));
    if (year >= 0 && year < 100) {
        if (year >= 70) {
            year += 1900;
        } else if (year <= 38) {
            year += 2000;
        }
    }
    if (year < 1583 || year > 9998 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        return false;
    }
    fields.year = year;
    fields.month = month;
    fields.day = day;
    return true;
}

bool parseTimePart(std::string_view text, COleDate::Fields& fields) {
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text.size() == 4 && allDigits(text)) {
        hour = atoiLike(text.substr(0, 2));
        minute = atoiLike(text.substr(2));
    } else if ((text.size() == 1 || text.size() == 2) && allDigits(text)) {
        hour = atoiLike(text);
    } else {
        const std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) {
            return false;
        }
        hour = atoiLike(text.substr(0, colon));
        const std::string_view rest = text.substr(colon + 1);
        const std::size_t secondColon = rest.find(':');
        if (secondColon == std::string_view::npos) {
            minute = atoiLike(rest);
        } else {
            minute = atoiLike(rest.substr(0, secondColon));
            second = atoiLike(rest.substr(secondColon + 1));
        }
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        return false;
    }
    fields.hour = hour;
    fields.minute = minute;
    fields.second = second;
    return true;
}

bool sameDay(const COleDate& a, const COleDate& b) {
    const COleDate::Fields x = a.fields();
    const COleDate::Fields y = b.fields();
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

bool textMatches(std::string_view text, std::string_view value, int operatorIndex) {
    switch (operatorIndex) {
        case 0:
            return contains(text, value);
        case 1:
            return equalsIgnoringCase(text, value);
        case 2:
            return !contains(text, value);
        default:
            return false;
    }
}

}  // namespace

int CItemFilter::targetFromRecord(int recordVersion, int storedTarget) {
    // A target near the int range stays as it is (it matches nothing) instead of overflowing.
    if (recordVersion == kRecordVersionShifted && storedTarget >= kTargetPath &&
        storedTarget <= std::numeric_limits<int>::max() - 2) {
        return storedTarget + 2;
    }
    return storedTarget;
}

std::optional<COleDate> CItemFilter::parseDate(std::string_view text) {
    COleDate::Fields fields;
    const std::size_t blank = text.find(' ');
    const std::string_view datePart = blank == std::string_view::npos ? text : text.substr(0, blank);
    if (!parseDatePart(datePart, fields)) {
        return std::nullopt;
    }
    if (blank != std::string_view::npos && !parseTimePart(text.substr(blank + 1), fields)) {
        return std::nullopt;
    }
    COleDate date = COleDate::fromFields(fields);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

std::uint32_t CItemFilter::parseSize(std::string_view text) {
    return static_cast<std::uint32_t>(atoiLike(text));
}

bool CItemFilter::matches(const CFileItem& item, const CExtArray* textFileExtensions) const {
    switch (m_target) {
        case kTargetName:
            return textMatches(item.displayName(), m_valueText, m_operator);
        case kTargetPath:
            return textMatches(item.path(), m_valueText, m_operator);
        case kTargetMemo:
            return textMatches(item.memo(), m_valueText, m_operator);
        case kTargetSize: {
            const std::uint64_t value = parseSize(m_valueText);
            switch (m_operator) {
                case 0:
                    return item.size() >= value;
                case 1:
                    return item.size() == value;
                case 2:
                    return item.size() <= value;
                default:
                    return false;
            }
        }
        case kTargetDate: {
            const std::optional<COleDate> value = parseDate(m_valueText);
            if (!value || !item.date().isValid()) {
                return false;
            }
            switch (m_operator) {
                case 0:
                    return item.date().chronologicalDays() >= value->chronologicalDays();
                case 1:
                    return m_valueText.find(' ') != std::string::npos ? item.date() == *value
                                                                      : sameDay(item.date(), *value);
                case 2:
                    return item.date().chronologicalDays() <= value->chronologicalDays();
                default:
                    return false;
            }
        }
        case kTargetTextFile:
            return m_operator == 0 && CTextFileSearch::find(item, m_valueText,
                                                            textFileExtensions ? *textFileExtensions
                                                                               : CExtArray::textFiles()) >= 0;
        default:
            break;
    }
    if (m_target < kTargetFirstCategory) {
        return false;
    }
    const std::vector<std::string> values = item.valuesOf(categoryIndex());
    switch (m_operator) {
        case 0:
            for (const std::string& value : values) {
                if (contains(value, m_valueText)) {
                    return true;
                }
            }
            return false;
        case 1:
            for (const std::string& value : values) {
                if (value == m_valueText) {
                    return true;
                }
            }
            return false;
        case 2:
            for (const std::string& value : values) {
                if (contains(value, m_valueText)) {
                    return false;
                }
            }
            return true;
        default:
            return false;
    }
}

std::vector<std::string> CItemFilter::operatorTexts(int target) {
    switch (target) {
        case kTargetDate:
            return {"より新しい", "と等しい", "より古い"};
        case kTargetSize:
            return {"以上", "と等しい", "以下"};
        case kTargetTextFile:
            return {"を含む"};
        default:
            return {"を含む", "と等しい", "を含まない"};
    }
}

std::string CItemFilter::operatorText() const {
    const std::vector<std::string> texts = operatorTexts();
    if (m_operator < 0 || m_operator >= static_cast<int>(texts.size())) {
        return std::string();
    }
    return texts[static_cast<std::size_t>(m_operator)];
}

std::string CItemFilter::conditionLine(bool isFirst, const std::vector<std::string>& categoryNames) const {
    static const char* const kLabels[] = {"ファイル名", "日付", "サイズ",
                                          "フルパス",   "メモ", "テキストファイル"};
    std::string line;
    if (!isFirst) {
        line += m_conjunction == kConjunctionOr ? "または " : "かつ ";
    }
    if (m_target >= 0 && m_target < kTargetFirstCategory) {
        line += kLabels[m_target];
    } else if (!categoryNames.empty()) {
        const int n = categoryIndex();
        line += n >= 0 && n < static_cast<int>(categoryNames.size())
                    ? categoryNames[static_cast<std::size_t>(n)]
                    : categoryNames.front();
    }
    line += " が ";
    line += m_valueText;
    line += ' ';
    line += operatorText();
    return line;
}
