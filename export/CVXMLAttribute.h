#pragma once

// An attribute of an element: its node name is the attribute name.

#include "export/CVXMLCharacterData.h"

class CVXMLAttribute final : public CVXMLNode {
public:
    CVXMLAttribute(std::string_view name, std::string_view value, XMLTextForm form = XMLTextForm::Markup)
        : CVXMLNode(name), m_form(form) {
        CVXMLNode::setValue(value);
    }

    XMLNodeType nodeType() const override { return XMLNodeType::Attribute; }
    XMLTextForm form() const { return m_form; }
    void setValue(std::string_view value, XMLTextForm form) {
        CVXMLNode::setValue(value);
        m_form = form;
    }
    std::unique_ptr<CVXMLNode> clone() const override;
    // The name; when the value is not empty, "=" and the value in double quotes (a plain-text value
    // escaped).
    void appendMarkup(std::string& out) const override;

private:
    XMLTextForm m_form;
};
