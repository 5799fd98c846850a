#pragma once

// A comment ("#comment"): written between "<!--" and "-->"; it adds nothing to its parent's text.

#include "export/CVXMLCharacterData.h"

class CVXMLComment final : public CVXMLCharacterData {
public:
    explicit CVXMLComment(std::string_view value) : CVXMLCharacterData("#comment", value) {}

    XMLNodeType nodeType() const override { return XMLNodeType::Comment; }
    std::string text() const override { return {}; }
    std::unique_ptr<CVXMLNode> clone() const override;
    void appendMarkup(std::string& out) const override;
};
