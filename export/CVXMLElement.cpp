#include "export/CVXMLElement.h"

#include <algorithm>

#include "export/CVXMLFragmentParser.h"
#include "export/CVXMLTextNode.h"

namespace {

// A value as set-attribute stores it: leading and trailing single quotes removed, then double quotes.
std::string_view stripQuotes(std::string_view value) {
    for (const char quote : {'\'', '"'}) {
        const std::size_t first = value.find_first_not_of(quote);
        if (first == std::string_view::npos) {
            return {};
        }
        value = value.substr(first, value.find_last_not_of(quote) - first + 1);
    }
    return value;
}

}  // namespace

bool CVXMLElement::setContent(std::string_view content) {
    removeAllChildren();
    return CVXMLFragmentParser::parse(*this, content);
}

void CVXMLElement::setText(std::string_view text) {
    removeAllChildren();
    if (!text.empty()) {
        appendChild(std::make_unique<CVXMLTextNode>(text, XMLTextForm::PlainText));
    }
}

std::string CVXMLElement::text() const {
    std::string joined;
    for (const CVXMLNode* child = firstChild(); child != nullptr; child = child->nextSibling()) {
        joined += child->text();
    }
    return joined;
}

std::unique_ptr<CVXMLNode> CVXMLElement::clone() const {
    auto copy = std::make_unique<CVXMLElement>(name());
    for (const auto& attribute : m_attributes) {
        copy->m_attributes.push_back(
            std::make_unique<CVXMLAttribute>(attribute->name(), attribute->value(), attribute->form()));
    }
    copy->m_hasEndTag = m_hasEndTag;
    cloneChildrenInto(*copy);
    return copy;
}

// The layout: in indented mode the element starts with one tab per level of depth. Each child element
// starts on a new line one level deeper; after a last child that is an element the end tag goes on a line
// of its own at the element's own indentation. Text children follow the start tag directly, so a
// text-only element stays on one line.
void CVXMLElement::appendMarkup(std::string& out) const {
    const int depth = CVXMLNode::depth();
    const XMLLayout layout = layoutMode();
    if (layout == XMLLayout::Indented) {
        out.append(static_cast<std::size_t>(std::max(depth, 0)), '\t');
    }
    appendStartTag(out);
    bool lastWasElement = false;
    for (const CVXMLNode* child = firstChild(); child != nullptr; child = child->nextSibling()) {
        setDepth(depth + 1);
        lastWasElement = child->nodeType() == XMLNodeType::Element;
        if (lastWasElement && layout != XMLLayout::Flat) {
            out += "\r\n";
        }
        child->appendMarkup(out);
        setDepth(depth);
    }
    if (lastWasElement && layout != XMLLayout::Flat) {
        out += "\r\n";
    }
    if (!hasChildren()) {
        return;
    }
    if (lastWasElement && layout == XMLLayout::Indented) {
        out.append(static_cast<std::size_t>(std::max(depth, 0)), '\t');
    }
    if (!name().empty() && m_hasEndTag) {
        out += "</";
        out += name();
        out += '>';
    }
}

void CVXMLElement::appendStartTag(std::string& out) const {
    if (name().empty()) {
        return;
    }
    out += '<';
    out += name();
    for (const auto& attribute : m_attributes) {
        out += ' ';
        attribute->appendMarkup(out);
    }
    out += hasChildren() ? ">" : " />";
}

void CVXMLElement::setAttribute(std::string_view name, std::string_view value) {
    if (value.empty() || value == "\"\"") {
        storeAttribute(name, {}, XMLTextForm::Markup);
    } else {
        storeAttribute(name, stripQuotes(value), XMLTextForm::Markup);
    }
}

void CVXMLElement::setAttributeText(std::string_view name, std::string_view value) {
    storeAttribute(name, value, XMLTextForm::PlainText);
}

void CVXMLElement::appendParsedAttribute(std::string_view name, std::string_view value) {
    m_attributes.push_back(std::make_unique<CVXMLAttribute>(name, stripQuotes(value), XMLTextForm::Markup));
}

const CVXMLAttribute* CVXMLElement::attribute(std::string_view name) const {
    for (const auto& attribute : m_attributes) {
        if (attribute->name() == name) {
            return attribute.get();
        }
    }
    return nullptr;
}

std::vector<std::unique_ptr<CVXMLAttribute>>::iterator CVXMLElement::findAttribute(std::string_view name) {
    return std::find_if(m_attributes.begin(), m_attributes.end(),
                        [name](const std::unique_ptr<CVXMLAttribute>& held) { return held->name() == name; });
}

// An empty value removes the attribute of that name; any other value replaces the existing one's value or
// is appended as a new attribute.
void CVXMLElement::storeAttribute(std::string_view name, std::string_view value, XMLTextForm form) {
    const auto found = findAttribute(name);
    if (value.empty()) {
        if (found != m_attributes.end()) {
            m_attributes.erase(found);
        }
    } else if (found != m_attributes.end()) {
        (*found)->setValue(value, form);
    } else {
        m_attributes.push_back(std::make_unique<CVXMLAttribute>(name, value, form));
    }
}
