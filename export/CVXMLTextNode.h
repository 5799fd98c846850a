#pragma once

// A text node ("#text").

#include "export/CVXMLCharacterData.h"

class CVXMLTextNode : public CVXMLCharacterData {
public:
    explicit CVXMLTextNode(std::string_view value, XMLTextForm form = XMLTextForm::Markup)
        : CVXMLCharacterData("#text", value), m_form(form) {}

    XMLNodeType nodeType() const override { return XMLNodeType::Text; }
    XMLTextForm form() const { return m_form; }
    std::unique_ptr<CVXMLNode> clone() const override;
    // Markup: the value as it is. A plain text: the value escaped.
    void appendMarkup(std::string& out) const override;

protected:
    CVXMLTextNode(std::string_view name, std::string_view value)
        : CVXMLCharacterData(name, value), m_form(XMLTextForm::Markup) {}

private:
    XMLTextForm m_form;
};
