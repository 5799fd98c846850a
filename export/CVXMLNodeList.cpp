#include "export/CVXMLNodeList.h"

#include <algorithm>

#include "export/CVXMLNode.h"

CVXMLNodeList::~CVXMLNodeList() = default;

CVXMLNode* CVXMLNodeList::append(std::unique_ptr<CVXMLNode> node) {
    CVXMLNode* previous = last();
    node->m_previous = previous;
    node->m_next = nullptr;
    if (previous != nullptr) {
        previous->m_next = node.get();
    }
    m_nodes.push_back(std::move(node));
    return m_nodes.back().get();
}

std::unique_ptr<CVXMLNode> CVXMLNodeList::take(CVXMLNode* node) {
    auto found = std::find_if(m_nodes.begin(), m_nodes.end(),
                              [node](const std::unique_ptr<CVXMLNode>& held) { return held.get() == node; });
    if (found == m_nodes.end()) {
        return nullptr;
    }
    std::unique_ptr<CVXMLNode> taken = std::move(*found);
    m_nodes.erase(found);
    if (taken->m_previous != nullptr) {
        taken->m_previous->m_next = taken->m_next;
    }
    if (taken->m_next != nullptr) {
        taken->m_next->m_previous = taken->m_previous;
    }
    taken->m_previous = nullptr;
    taken->m_next = nullptr;
    taken->m_parent = nullptr;
    return taken;
}

void CVXMLNodeList::clear() {
    m_nodes.clear();
}
