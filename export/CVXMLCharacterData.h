#pragma once

// The base of the nodes that hold character data: texts, comments and CDATA sections.

#include "export/CVXMLNode.h"

// How a text node's or attribute's value is meant: as markup source, written exactly as it is (what the
// fragment parser produces), or as a plain text, escaped when written so that it reads back unchanged.
enum class XMLTextForm { Markup, PlainText };

class CVXMLCharacterData : public CVXMLNode {
public:
    CVXMLCharacterData(std::string_view name, std::string_view value) : CVXMLNode(name) { setValue(value); }
};
