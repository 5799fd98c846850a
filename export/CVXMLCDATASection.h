#pragma once

// A CDATA section ("#cdata-section"): its value is written between "<![CDATA[" and "]]>".

#include "export/CVXMLTextNode.h"

class CVXMLCDATASection final : public CVXMLTextNode {
public:
    explicit CVXMLCDATASection(std::string_view value) : CVXMLTextNode("#cdata-section", value) {}

    XMLNodeType nodeType() const override { return XMLNodeType::CDataSection; }
    std::unique_ptr<CVXMLNode> clone() const override;
    void appendMarkup(std::string& out) const override;
};
