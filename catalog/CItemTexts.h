#pragma once

// The texts an item shows: in the grid's cells, in the exports and in qlry. Every formatter of an item's
// date and size lives here. The texts come from the item's fields alone: nothing reads the disk, and each
// call allocates at most the string it returns, so a view may ask for a cell's text whenever it paints it.

#include <string>
#include <string_view>

#include "model/COleDate.h"

class CFileItem;
class CItemColumns;

// "%Y/%m/%d %H:%M" as the grid shows dates; "%Y-%m-%d %H:%M:%S" as the exports and qlry write them.
enum class DateStyle { Grid, Export };

class CItemTexts final {
public:
    static constexpr std::string_view kUrl = "URL";
    static constexpr std::string_view kFolder = "フォルダ";

    // The date in the style; "" for an invalid date or one outside the years 100 to 9999 (the years an item
    // date can be made from).
    static std::string date(const COleDate& date, DateStyle style);
    static void appendDate(std::string& out, const COleDate& date, DateStyle style);

    // The cell texts of the item columns: the display name; the date ("URL" for a URL item); the size in
    // bytes grouped by thousands ("フォルダ" for a folder, "URL" for a URL item); the value string of the
    // category (its values joined by ","). "" for no column.
    static std::string cell(const CFileItem& item, const CItemColumns& columns, int column);
    static std::string dateCell(const CFileItem& item);
    static std::string sizeCell(const CFileItem& item);
};
