#pragma once

// The HTML table that the HTML copy puts on the clipboard: a "table" start tag, a header row with the
// column names, one "tr" per displayed item with a "td" for its path, its title and each value string, and
// the end tag. Cell texts are escaped.

#include "export/CFileItemExport.h"

class CFileItemHtmlExport final : public CFileItemExport {
public:
    static constexpr std::string_view kTableStart = "<table border=\"1\" class=\"quillory\">\r\n";
    static constexpr std::string_view kTableEnd = "\r\n</table>";

    using CFileItemExport::CFileItemExport;

protected:
    void appendRow(std::string& out, int index) const override;
    void appendHeader(std::string& out) const override;
    void appendFooter(std::string& out) const override { out += kTableEnd; }
};
