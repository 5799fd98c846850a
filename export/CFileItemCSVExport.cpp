#include "export/CFileItemCSVExport.h"

#include "model/CFileCatalog.h"

namespace {

void appendQuotedField(std::string& out, std::string_view field) {
    out += '"';
    for (std::size_t quote = field.find('"'); quote != std::string_view::npos; quote = field.find('"')) {
        out.append(field.substr(0, quote + 1));
        out += '"';
        field.remove_prefix(quote + 1);
    }
    out.append(field);
    out += '"';
}

}  // namespace

void CFileItemCSVExport::appendHeader(std::string& out) const {
    appendQuotedField(out, "ファイル名");
    out += ',';
    appendQuotedField(out, "タイトル");
    out += ',';
    appendQuotedField(out, "更新日時");
    for (int i = 0; i < catalog().categoryCount(); ++i) {
        out += ',';
        appendQuotedField(out, catalog().categoryName(i));
    }
    out += "\r\n";
}

void CFileItemCSVExport::appendRow(std::string& out, int index) const {
    const CFileItem& item = displayedItem(index);
    appendQuotedField(out, item.path());
    out += ',';
    appendQuotedField(out, item.title());
    out += ',';
    out += '"';
    if (item.kind() != ItemKind::Url) {
        appendDate(out, item.date());  // digits, "-", ":" and a blank: nothing to quote
    }
    out += '"';
    for (const std::string& values : item.valueStrings()) {
        out += ',';
        appendQuotedField(out, values);
    }
    out += "\r\n";
}
