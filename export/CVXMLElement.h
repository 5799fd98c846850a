#pragma once

// An element: a tag name, attributes in insertion order, children, and whether its end tag is written.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "export/CVXMLAttribute.h"
#include "export/CVXMLNode.h"

class CVXMLElement final : public CVXMLNode {
public:
    explicit CVXMLElement(std::string_view tagName) : CVXMLNode(tagName) {}

    XMLNodeType nodeType() const override { return XMLNodeType::Element; }

    // Removes every child and parses the text as markup into new children. False when a comment or CDATA
    // section was left open (the text after it is dropped).
    bool setContent(std::string_view content) override;
    // Removes every child and, for a non-empty text, appends it as one plain-text child that is escaped
    // when written: the text reads back unchanged whatever it holds.
    void setText(std::string_view text);
    // The texts of the children, in order.
    std::string text() const override;
    std::unique_ptr<CVXMLNode> clone() const override;
    void appendMarkup(std::string& out) const override;

    // Sets the attribute of that name (exact, case-sensitive) as markup. A value that is empty or exactly
    // two double quotes removes the attribute instead. A stored value loses its leading and trailing single
    // quotes, then its leading and trailing double quotes.
    void setAttribute(std::string_view name, std::string_view value);
    // Sets the attribute to a plain text, kept exactly and escaped when written; an empty value removes it.
    void setAttributeText(std::string_view name, std::string_view value);
    // Appends an attribute as the fragment parser reads it: quotes stripped as by setAttribute, no lookup.
    void appendParsedAttribute(std::string_view name, std::string_view value);
    // The attribute of that name, or nullptr.
    const CVXMLAttribute* attribute(std::string_view name) const;
    const std::vector<std::unique_ptr<CVXMLAttribute>>& attributes() const { return m_attributes; }

    bool hasEndTag() const { return m_hasEndTag; }
    void setHasEndTag(bool hasEndTag) { m_hasEndTag = hasEndTag; }

private:
    std::vector<std::unique_ptr<CVXMLAttribute>>::iterator findAttribute(std::string_view name);
    void storeAttribute(std::string_view name, std::string_view value, XMLTextForm form);
    void appendStartTag(std::string& out) const;

    std::vector<std::unique_ptr<CVXMLAttribute>> m_attributes;
    bool m_hasEndTag = true;
};
