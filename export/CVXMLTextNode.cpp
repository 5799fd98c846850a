#include "export/CVXMLTextNode.h"

#include "export/XmlEscape.h"

std::unique_ptr<CVXMLNode> CVXMLTextNode::clone() const {
    return std::make_unique<CVXMLTextNode>(value(), m_form);
}

void CVXMLTextNode::appendMarkup(std::string& out) const {
    if (m_form == XMLTextForm::PlainText) {
        appendEscapedXmlText(out, value());
    } else {
        out += value();
    }
}
