#include "export/CVXMLComment.h"

std::unique_ptr<CVXMLNode> CVXMLComment::clone() const {
    return std::make_unique<CVXMLComment>(value());
}

void CVXMLComment::appendMarkup(std::string& out) const {
    out += "<!--";
    out += value();
    out += "-->";
}
