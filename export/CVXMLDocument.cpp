#include "export/CVXMLDocument.h"

#include "export/CExportFileWriter.h"

void CVXMLDocument::appendMarkup(std::string& out) const {
    out += kDeclaration;
    if (layoutMode() != XMLLayout::Flat) {
        out += "\r\n";
    }
    if (layoutMode() == XMLLayout::Indented) {
        setDepth(0);
    }
    if (const CVXMLElement* root = documentRoot()) {
        root->appendMarkup(out);
    }
}

CVXMLElement* CVXMLDocument::documentRoot() const {
    CVXMLNode* first = firstChild();
    if (first == nullptr || first->nodeType() != XMLNodeType::Element) {
        return nullptr;
    }
    return static_cast<CVXMLElement*>(first);
}

// Texts are UTF-8 in memory, which is what the file holds: the markup is written as it is.
bool CVXMLDocument::writeToFile(std::string_view path) const {
    CExportFileWriter file;
    if (!file.open(path)) {
        return false;
    }
    std::string markup = toMarkup();
    const bool written = file.write(markup);
    return file.close() && written;
}
