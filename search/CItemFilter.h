#pragma once

// One filter condition: a property of an item tested against a value text with an operator, joined to the
// conditions above it by "かつ" (and) or "または" (or).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/COleDate.h"

class CFileItem;
class CExtArray;

class CItemFilter final {
public:
    // Targets; 6 + n tests the values of category n.
    static constexpr int kTargetName = 0;
    static constexpr int kTargetDate = 1;
    static constexpr int kTargetSize = 2;
    static constexpr int kTargetPath = 3;
    static constexpr int kTargetMemo = 4;
    static constexpr int kTargetTextFile = 5;
    static constexpr int kTargetFirstCategory = 6;

    static constexpr int kConjunctionAnd = 0;
    static constexpr int kConjunctionOr = 1;

    // Record marks of the catalog file: conditions marked 100 number the targets 3 and up 2 lower than this
    // program does and are raised by 2 when read; conditions this program writes carry 101 and read back
    // unchanged.
    static constexpr int kRecordVersionShifted = 100;
    static constexpr int kRecordVersion = 101;
    // The target a record of that version means.
    static int targetFromRecord(int recordVersion, int storedTarget);

    CItemFilter() = default;
    CItemFilter(int target, std::string_view valueText, int operatorIndex, int conjunction = kConjunctionAnd)
        : m_target(target), m_valueText(valueText), m_operator(operatorIndex), m_conjunction(conjunction) {}

    int target() const { return m_target; }
    void setTarget(int target) { m_target = target; }
    const std::string& valueText() const { return m_valueText; }
    void setValueText(std::string_view text) { m_valueText = text; }
    int operatorIndex() const { return m_operator; }
    void setOperatorIndex(int index) { m_operator = index; }
    int conjunction() const { return m_conjunction; }
    void setConjunction(int conjunction) { m_conjunction = conjunction; }
    bool isCategoryTarget() const { return m_target >= kTargetFirstCategory; }
    int categoryIndex() const { return m_target - kTargetFirstCategory; }

    // Whether the item satisfies this condition alone. The text-file test uses the program's text-file
    // extension list unless one is given.
    bool matches(const CFileItem& item, const CExtArray* textFileExtensions = nullptr) const;

    // The operator texts of a target and of this condition.
    static std::vector<std::string> operatorTexts(int target);
    std::vector<std::string> operatorTexts() const { return operatorTexts(m_target); }
    std::string operatorText() const;

    // The line of the filter dialog's list: conjunction (not for the first), target label, "が", value
    // text, operator text.
    std::string conditionLine(bool isFirst, const std::vector<std::string>& categoryNames) const;

    // A date value text "y/m/d[ time]" as the filters read it, or nullopt when it does not parse.
    static std::optional<COleDate> parseDate(std::string_view text);
    // The value text read as the C library's atoi reads it, taken as an unsigned 32-bit count.
    static std::uint32_t parseSize(std::string_view text);

    bool operator==(const CItemFilter&) const = default;

private:
    int m_target = kTargetName;
    std::string m_valueText;
    int m_operator = 0;
    int m_conjunction = kConjunctionAnd;
};
