#include "catalog/CItemTexts.h"

#include "catalog/CItemColumns.h"
#include "model/CFileItem.h"
#include "text/StringUtil.h"

namespace {

// The years that an item date can be made from.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

// A file that has never been found keeps the stored date 0 (1899/12/30 00:00) and size 0; no file on a disk
// has that date, so such a row shows no date and no size rather than values that look like corrupt data.
bool neverFound(const CFileItem& item) {
    const COleDate date = item.date();
    return date.isValid() && date.value() == 0.0;
}

}  // namespace

std::string CItemTexts::date(const COleDate& date, DateStyle style) {
    std::string text;
    appendDate(text, date, style);
    return text;
}

void CItemTexts::appendDate(std::string& out, const COleDate& date, DateStyle style) {
    if (!date.isValid()) {
        return;
    }
    const COleDate::Fields f = date.fields();
    if (f.year < kFirstYear || f.year > kLastYear) {
        return;
    }
    const bool grid = style == DateStyle::Grid;
    char text[] = "0000-00-00 00:00:00";
    const auto put = [&text](std::size_t end, int value, int digits) {
        for (; digits > 0; --digits, value /= 10) {
            text[--end] = static_cast<char>('0' + value % 10);
        }
    };
    put(4, f.year, 4);
    put(7, f.month, 2);
    put(10, f.day, 2);
    put(13, f.hour, 2);
    put(16, f.minute, 2);
    put(19, f.second, 2);
    if (grid) {
        text[4] = text[7] = '/';
    }
    out.append(text, grid ? 16 : sizeof text - 1);
}

std::string CItemTexts::dateCell(const CFileItem& item) {
    if (item.kind() == ItemKind::Url) {
        return std::string(kUrl);
    }
    return neverFound(item) ? std::string() : date(item.date(), DateStyle::Grid);
}

std::string CItemTexts::sizeCell(const CFileItem& item) {
    switch (item.kind()) {
        case ItemKind::Url:
            return std::string(kUrl);
        case ItemKind::Folder:
            return std::string(kFolder);
        case ItemKind::File:
            break;
    }
    if (neverFound(item)) {
        return std::string();
    }
    return jtext::thousandsFormat(static_cast<double>(item.size()));
}

std::string CItemTexts::cell(const CFileItem& item, const CItemColumns& columns, int column) {
    switch (columns.kindAt(column)) {
        case ItemColumn::Name:
            return std::string(item.displayName());
        case ItemColumn::Date:
            return dateCell(item);
        case ItemColumn::Size:
            return sizeCell(item);
        case ItemColumn::Category: {
            const int category = columns.categoryAt(column);
            return category < item.valueCount() ? std::string(item.valueString(category)) : std::string();
        }
        case ItemColumn::Count:
            break;
    }
    return std::string();
}
