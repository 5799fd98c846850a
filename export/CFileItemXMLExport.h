#pragma once

// The XML export: a UTF-8 document with the root "quillory" and one "item" element per displayed item,
// holding its title and memo (when not empty), its date (not for web addresses), its path, and an "attr"
// element per category in which it has values. Texts are escaped, so the file is well-formed whatever the
// items hold and reads back as the same texts.

#include <memory>

#include "export/CFileItemExport.h"

class CVXMLDocument;
class CVXMLElement;

class CFileItemXMLExport final : public CFileItemExport {
public:
    using CFileItemExport::CFileItemExport;

    // Builds the document and writes it to the file (see CVXMLDocument::writeToFile).
    bool exportToFile(std::string_view path) override;
    // The XML export has no text form: the text is left unchanged.
    bool exportToText(std::string& /*out*/) override { return true; }

    // The whole document of the displayed items.
    std::unique_ptr<CVXMLDocument> buildDocument() const;

protected:
    void appendRow(std::string& /*out*/, int /*index*/) const override {}
    void appendHeader(std::string& /*out*/) const override {}

private:
    std::unique_ptr<CVXMLElement> itemElement(const CVXMLDocument& document, const CFileItem& item) const;
};
