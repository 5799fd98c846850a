#include "export/CFileItemXMLExport.h"

#include "export/CVXMLDocument.h"
#include "model/CFileCatalog.h"

namespace {

void appendTextElement(const CVXMLDocument& document, CVXMLElement& parent, std::string_view tagName,
                       std::string_view text) {
    auto element = document.createElement(tagName);
    element->setText(text);
    parent.appendChild(std::move(element));
}

}  // namespace

bool CFileItemXMLExport::exportToFile(std::string_view path) {
    CVXMLNode::setLayoutMode(XMLLayout::Indented);
    return buildDocument()->writeToFile(path);
}

std::unique_ptr<CVXMLDocument> CFileItemXMLExport::buildDocument() const {
    auto document = std::make_unique<CVXMLDocument>();
    auto root = document->createElement("quillory");
    for (const CFileItem* item : catalog().displayedItems()) {
        root->appendChild(itemElement(*document, *item));
    }
    document->appendChild(std::move(root));
    return document;
}

std::unique_ptr<CVXMLElement> CFileItemXMLExport::itemElement(const CVXMLDocument& document,
                                                              const CFileItem& item) const {
    auto element = document.createElement("item");
    if (!item.title().empty()) {
        appendTextElement(document, *element, "title", item.title());
    }
    if (!item.memo().empty()) {
        appendTextElement(document, *element, "memo", item.memo());
    }
    if (item.kind() != ItemKind::Url) {
        appendTextElement(document, *element, "date", formatDate(item.date()));
    }
    appendTextElement(document, *element, "filename", item.path());

    auto categories = document.createElement("category");
    const int count = std::min(catalog().categoryCount(), item.valueCount());
    for (int i = 0; i < count; ++i) {
        const std::string& values = item.valueString(i);
        if (values.empty()) {
            continue;
        }
        auto attr = document.createElement("attr");
        attr->setAttributeText("name", catalog().categoryName(i));
        attr->setText(values);
        categories->appendChild(std::move(attr));
    }
    if (categories->hasChildren()) {
        element->appendChild(std::move(categories));
    }
    return element;
}
