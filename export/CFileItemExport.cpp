#include "export/CFileItemExport.h"

#include <cstdio>

#include "export/CExportFileWriter.h"
#include "model/CFileCatalog.h"

bool CFileItemExport::exportToFile(std::string_view path) {
    CExportFileWriter file;
    if (!file.open(path)) {
        return false;
    }
    std::string text;
    appendHeader(text);
    bool written = file.write(text);
    const int count = catalog().displayedCount();
    for (int i = 0; i < count && written; ++i) {
        text.clear();
        appendRow(text, i);
        written = file.write(text);
    }
    if (written) {
        text.clear();
        appendFooter(text);
        written = file.write(text);
    }
    return file.close() && written;
}

bool CFileItemExport::exportToText(std::string& out) {
    appendHeader(out);
    const int count = catalog().displayedCount();
    for (int i = 0; i < count; ++i) {
        appendRow(out, i);
    }
    appendFooter(out);
    return true;
}

bool CFileItemExport::copyToClipboard(CTextClipboard& clipboard) {
    std::string text;
    exportToText(text);
    clipboard.setText(text);
    return true;
}

std::string CFileItemExport::row(int index) const {
    std::string text;
    appendRow(text, index);
    return text;
}

std::string CFileItemExport::header() const {
    std::string text;
    appendHeader(text);
    return text;
}

std::string CFileItemExport::footer() const {
    std::string text;
    appendFooter(text);
    return text;
}

std::string CFileItemExport::formatDate(const COleDate& date) {
    if (!date.isValid()) {
        return {};
    }
    const COleDate::Fields f = date.fields();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return text;
}

const CFileItem& CFileItemExport::displayedItem(int index) const { return *catalog().displayedItem(index); }
