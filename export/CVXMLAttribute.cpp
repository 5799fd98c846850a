#include "export/CVXMLAttribute.h"

#include "export/XmlEscape.h"

std::unique_ptr<CVXMLNode> CVXMLAttribute::clone() const {
    return std::make_unique<CVXMLAttribute>(name(), value(), m_form);
}

void CVXMLAttribute::appendMarkup(std::string& out) const {
    out += name();
    if (value().empty()) {
        return;
    }
    out += "=\"";
    if (m_form == XMLTextForm::PlainText) {
        appendEscapedXmlAttribute(out, value());
    } else {
        out += value();
    }
    out += '"';
}
