#pragma once

// The CSV export: a header line with the column names, then one line per displayed item with its path,
// title, date and the value string of every category. Every field is quoted, and a quote inside a field is
// doubled, so any text reads back as the same field. Lines end in "\r\n"; the file is UTF-8 without a
// byte-order mark.

#include "export/CFileItemExport.h"

class CFileItemCSVExport final : public CFileItemExport {
public:
    using CFileItemExport::CFileItemExport;

protected:
    void appendRow(std::string& out, int index) const override;
    void appendHeader(std::string& out) const override;
};
