#include "export/CFileItemHtmlExport.h"

#include <memory>

#include "catalog/CFileCatalog.h"
#include "export/CVXMLElement.h"

namespace {

// A "tr" with one "td" per cell; an empty cell is written as "<td />".
class TableRow final {
public:
    TableRow() : m_row("tr") {}

    void addCell(std::string_view text) {
        auto cell = std::make_unique<CVXMLElement>("td");
        cell->setText(text);
        m_row.appendChild(std::move(cell));
    }

    void appendMarkup(std::string& out) const {
        CVXMLNode::setLayoutMode(XMLLayout::Indented);
        m_row.appendMarkup(out);
    }

private:
    CVXMLElement m_row;
};

}  // namespace

void CFileItemHtmlExport::appendHeader(std::string& out) const {
    TableRow row;
    row.addCell("ファイル名");
    row.addCell("タイトル");
    for (int i = 0; i < catalog().categoryCount(); ++i) {
        row.addCell(catalog().categoryName(i));
    }
    out += kTableStart;
    row.appendMarkup(out);
}

void CFileItemHtmlExport::appendRow(std::string& out, int index) const {
    const CFileItem& item = displayedItem(index);
    TableRow row;
    row.addCell(item.path());
    row.addCell(item.title());
    for (const std::string_view values : item.valueStrings()) {
        row.addCell(values);
    }
    row.appendMarkup(out);
}
