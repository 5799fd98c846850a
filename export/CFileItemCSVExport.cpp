#include "export/CFileItemCSVExport.h"

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"

namespace {

// The field's text with each double quote doubled; the caller writes the enclosing quotes.
void appendDoublingQuotes(std::string& out, std::string_view field) {
    for (std::size_t quote = field.find('"'); quote != std::string_view::npos; quote = field.find('"')) {
        out.append(field.substr(0, quote + 1));
        out += '"';
        field.remove_prefix(quote + 1);
    }
    out.append(field);
}

}  // namespace

void CFileItemCSVExport::appendHeader(std::string& out) const {
    out += "\"ファイル名\",\"タイトル\",\"更新日時\"";
    for (int i = 0; i < catalog().categoryCount(); ++i) {
        out += ",\"";
        appendDoublingQuotes(out, catalog().categoryName(i));
        out += '"';
    }
    out += "\r\n";
}

// The separators are written together with the quotes around them: a row is a long run of short appends.
void CFileItemCSVExport::appendRow(std::string& out, int index) const {
    const CFileItem& item = displayedItem(index);
    out += '"';
    appendDoublingQuotes(out, item.path());
    out += "\",\"";
    appendDoublingQuotes(out, item.title());
    out += "\",\"";
    if (item.kind() != ItemKind::Url) {
        CItemTexts::appendDate(out, item.date(), DateStyle::Export);  // digits, "-", ":" and a blank: nothing to quote
    }
    for (const std::string_view values : item.valueStrings()) {
        out += "\",\"";
        appendDoublingQuotes(out, values);
    }
    out += "\"\r\n";
}
