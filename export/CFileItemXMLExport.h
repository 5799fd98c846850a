#pragma once

// The XML export: a UTF-8 document with the root "quillory" and one "item" element per displayed item,
// holding its title and memo (when not empty), its date (not for web addresses), its path, and an "attr"
// element per category in which it has values. Texts are escaped, so the file is well-formed whatever the
// items hold and reads back as the same texts.

#include "export/CFileItemExport.h"

class CFileItemXMLExport final : public CFileItemExport {
public:
    static constexpr std::string_view kRootName = "quillory";

    using CFileItemExport::CFileItemExport;

    // Writes the document to the file: the declaration line, the root start tag, every item at one tab
    // with its fields at two, and the root end tag on the last line without a final line break; lines end
    // in "\r\n". A failure to open, write or close is shown with the path and gives false.
    bool exportToFile(std::string_view path) override;
    // The XML export has no text form: the text is left unchanged.
    bool exportToText(std::string& /*out*/) override { return true; }

protected:
    void appendRow(std::string& /*out*/, int /*index*/) const override {}
    void appendHeader(std::string& /*out*/) const override {}
};
