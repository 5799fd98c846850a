#pragma once

// A whole XML document: the declaration and one root element, written to a file in UTF-8.

#include <memory>
#include <string>
#include <string_view>

#include "export/CVXMLElement.h"
#include "export/CVXMLNode.h"

class CVXMLDocument final : public CVXMLNode {
public:
    static constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\" ?>";

    CVXMLDocument() : CVXMLNode("") {}

    XMLNodeType nodeType() const override { return XMLNodeType::Document; }
    // A new, empty document (the tree is not copied).
    std::unique_ptr<CVXMLNode> clone() const override { return std::make_unique<CVXMLDocument>(); }
    // The declaration, a line break unless the layout is flat, then the root; no line break at the end. In
    // the indented layout the depth starts again at 0.
    void appendMarkup(std::string& out) const override;

    // A new element with that name and no content.
    std::unique_ptr<CVXMLElement> createElement(std::string_view tagName) const {
        return std::make_unique<CVXMLElement>(tagName);
    }
    // The first child when it is an element, else nullptr.
    CVXMLElement* documentRoot() const;

    // Writes the markup to the file in UTF-8 without a byte-order mark, keeping its "\r\n" line ends. A
    // failure to open, write or close is shown to the user with the path, and gives false.
    bool writeToFile(std::string_view path) const;
};
