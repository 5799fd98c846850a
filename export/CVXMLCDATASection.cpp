#include "export/CVXMLCDATASection.h"

std::unique_ptr<CVXMLNode> CVXMLCDATASection::clone() const {
    return std::make_unique<CVXMLCDATASection>(value());
}

void CVXMLCDATASection::appendMarkup(std::string& out) const {
    out += "<![CDATA[";
    out += value();
    out += "]]>";
}
