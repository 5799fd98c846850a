#include "export/CVXMLNode.h"

bool CVXMLNode::setContent(std::string_view content) {
    m_value = content;
    return true;
}

std::string CVXMLNode::toMarkup() const {
    std::string markup;
    appendMarkup(markup);
    return markup;
}

CVXMLNode* CVXMLNode::appendChild(std::unique_ptr<CVXMLNode> child) {
    if (child == nullptr) {
        return nullptr;
    }
    child->m_parent = this;
    return m_children.append(std::move(child));
}

CVXMLNode* CVXMLNode::appendChild(CVXMLNode* child) {
    if (child == nullptr || child->m_parent == nullptr || child == this) {
        return nullptr;
    }
    // A node cannot become a child of its own descendant.
    for (const CVXMLNode* ancestor = m_parent; ancestor != nullptr; ancestor = ancestor->m_parent) {
        if (ancestor == child) {
            return nullptr;
        }
    }
    return appendChild(child->m_parent->m_children.take(child));
}

void CVXMLNode::cloneChildrenInto(CVXMLNode& copy) const {
    for (const CVXMLNode* child = firstChild(); child != nullptr; child = child->nextSibling()) {
        copy.appendChild(child->clone());
    }
}
