#pragma once

// The children of a node, in order. The list owns its nodes and keeps their sibling links in step.

#include <cstddef>
#include <memory>
#include <vector>

class CVXMLNode;

class CVXMLNodeList final {
public:
    CVXMLNodeList() = default;
    ~CVXMLNodeList();
    CVXMLNodeList(const CVXMLNodeList&) = delete;
    CVXMLNodeList& operator=(const CVXMLNodeList&) = delete;

    bool empty() const { return m_nodes.empty(); }
    std::size_t size() const { return m_nodes.size(); }
    CVXMLNode* first() const { return m_nodes.empty() ? nullptr : m_nodes.front().get(); }
    CVXMLNode* last() const { return m_nodes.empty() ? nullptr : m_nodes.back().get(); }
    CVXMLNode* at(std::size_t index) const { return m_nodes[index].get(); }

    // Appends the node last, linking it to the former last node.
    CVXMLNode* append(std::unique_ptr<CVXMLNode> node);
    // Takes the node out of the list and gives it back; nullptr when it is not in the list.
    std::unique_ptr<CVXMLNode> take(CVXMLNode* node);
    // Deletes every node.
    void clear();

private:
    std::vector<std::unique_ptr<CVXMLNode>> m_nodes;
};
