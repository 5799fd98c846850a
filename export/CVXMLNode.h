#pragma once

// The base of the small XML document model that the exporters build their output with: elements,
// attributes, texts, comments and CDATA sections in a tree, written as text with a fixed line and
// indentation layout.
//
// A node owns its children; the sibling and parent links are borrowed. The layout mode and the current
// depth are process-wide, like the user-interface thread that alone uses them.

#include <memory>
#include <string>
#include <string_view>

#include "export/CVXMLNodeList.h"

// The node type numbers of the document object model.
enum class XMLNodeType : int {
    Element = 1,
    Attribute = 2,
    Text = 3,
    CDataSection = 4,
    Comment = 8,
    Document = 9,
};

// How markup is laid out: on one line, with line breaks before child elements, or with line breaks and one
// tab of indentation per level.
enum class XMLLayout : int { Flat = 0, LineBreaks = 1, Indented = 2 };

class CVXMLNode {
public:
    explicit CVXMLNode(std::string_view name = "") : m_name(name) {}
    virtual ~CVXMLNode() = default;
    CVXMLNode(const CVXMLNode&) = delete;
    CVXMLNode& operator=(const CVXMLNode&) = delete;

    virtual XMLNodeType nodeType() const = 0;
    void setName(std::string_view name) { m_name = name; }
    const std::string& name() const { return m_name; }
    const std::string& value() const { return m_value; }
    bool hasChildren() const { return !m_children.empty(); }

    // Replaces the value; an element parses the text into its children instead. False when the text left a
    // comment or CDATA section open.
    virtual bool setContent(std::string_view content);
    // The node's text: its value; an element's is the texts of its children in order.
    virtual std::string text() const { return m_value; }
    virtual std::unique_ptr<CVXMLNode> clone() const = 0;

    // The node as markup, laid out by the current layout mode from the current depth.
    std::string toMarkup() const;
    // The same, appended to `out` (the writers build one long text).
    virtual void appendMarkup(std::string& out) const = 0;

    // Appends a new child as the last one and returns it.
    CVXMLNode* appendChild(std::unique_ptr<CVXMLNode> child);
    // Moves a node that is already in a tree (a child of this node or of another) to the end of this node's
    // children. A node without a parent is not owned by any tree and is refused (nullptr).
    CVXMLNode* appendChild(CVXMLNode* child);

    const CVXMLNodeList& children() const { return m_children; }
    CVXMLNode* firstChild() const { return m_children.first(); }
    CVXMLNode* lastChild() const { return m_children.last(); }
    CVXMLNode* parent() const { return m_parent; }
    CVXMLNode* previousSibling() const { return m_previous; }
    CVXMLNode* nextSibling() const { return m_next; }

    static XMLLayout layoutMode() { return s_layout; }
    static void setLayoutMode(XMLLayout layout) { s_layout = layout; }
    static int depth() { return s_depth; }
    static void setDepth(int depth) { s_depth = depth; }

protected:
    void setValue(std::string_view value) { m_value = value; }
    void removeAllChildren() { m_children.clear(); }
    void cloneChildrenInto(CVXMLNode& copy) const;

private:
    friend class CVXMLNodeList;

    CVXMLNodeList m_children;
    CVXMLNode* m_previous = nullptr;
    CVXMLNode* m_next = nullptr;
    CVXMLNode* m_parent = nullptr;
    std::string m_name;
    std::string m_value;

    static inline XMLLayout s_layout = XMLLayout::Flat;
    static inline int s_depth = 0;
};
