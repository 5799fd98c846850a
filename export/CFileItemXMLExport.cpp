#include "export/CFileItemXMLExport.h"

#include <memory>
#include <vector>

#include "export/CExportFileWriter.h"
#include "export/CVXMLDocument.h"
#include "model/CFileCatalog.h"

namespace {

// The elements of one "item", made once and lent to the item element for every item that needs them, so
// that an export of many items builds no tree per item. Each field element keeps one text child that
// setText refills in place.
class ItemElement final {
public:
    explicit ItemElement(const CFileCatalog& catalog)
        : m_item("item"),
          m_title(std::make_unique<CVXMLElement>("title")),
          m_memo(std::make_unique<CVXMLElement>("memo")),
          m_date(std::make_unique<CVXMLElement>("date")),
          m_filename(std::make_unique<CVXMLElement>("filename")),
          m_category(std::make_unique<CVXMLElement>("category")) {
        for (int i = 0; i < catalog.categoryCount(); ++i) {
            auto attr = std::make_unique<CVXMLElement>("attr");
            // An empty category name leaves the attribute out.
            attr->setAttributeText("name", catalog.categoryName(i));
            m_attrs.push_back(std::move(attr));
        }
    }

    // Appends the item's markup, laid out at the current depth.
    void appendMarkup(std::string& out, const CFileItem& item) {
        if (!item.title().empty()) {
            lend(m_item, m_title, item.title());
        }
        if (!item.memo().empty()) {
            lend(m_item, m_memo, item.memo());
        }
        if (item.kind() != ItemKind::Url) {
            lend(m_item, m_date, CFileItemExport::formatDate(item.date()));
        }
        lend(m_item, m_filename, item.path());
        CVXMLElement& category = *m_category;
        const int count = std::min(static_cast<int>(m_attrs.size()), item.valueCount());
        for (int i = 0; i < count; ++i) {
            const std::string& values = item.valueString(i);
            if (!values.empty()) {
                lend(category, m_attrs[static_cast<std::size_t>(i)], values);
            }
        }
        if (category.hasChildren()) {
            lend(m_item, m_category, {});
        }
        m_item.appendMarkup(out);
        giveAllBack();
    }

private:
    struct Loan {
        CVXMLElement* parent;
        std::unique_ptr<CVXMLElement>* home;
        CVXMLNode* element;
    };

    // Appends the element kept in `home` to `parent`, with the text as its content unless it is null.
    void lend(CVXMLElement& parent, std::unique_ptr<CVXMLElement>& home, std::string_view text) {
        if (text.data() != nullptr) {
            home->setText(text);
        }
        CVXMLNode* element = parent.appendChild(std::move(home));
        m_loans.push_back({&parent, &home, element});
    }

    void giveAllBack() {
        for (auto loan = m_loans.rbegin(); loan != m_loans.rend(); ++loan) {
            std::unique_ptr<CVXMLNode> node = loan->parent->removeChild(loan->element);
            loan->home->reset(static_cast<CVXMLElement*>(node.release()));
        }
        m_loans.clear();
    }

    CVXMLElement m_item;
    std::unique_ptr<CVXMLElement> m_title;
    std::unique_ptr<CVXMLElement> m_memo;
    std::unique_ptr<CVXMLElement> m_date;
    std::unique_ptr<CVXMLElement> m_filename;
    std::unique_ptr<CVXMLElement> m_category;
    std::vector<std::unique_ptr<CVXMLElement>> m_attrs;
    std::vector<Loan> m_loans;
};

}  // namespace

// The document is written as it is built, item by item, in the layout of the indented mode: a root with
// element children puts each on its own line, one tab deeper, and its end tag on a line of its own.
bool CFileItemXMLExport::exportToFile(std::string_view path) {
    CExportFileWriter file;
    if (!file.open(path)) {
        return false;
    }
    CVXMLNode::setLayoutMode(XMLLayout::Indented);
    std::string chunk;
    chunk.reserve(CExportFileWriter::kChunkSize * 2);
    chunk += CVXMLDocument::kDeclaration;
    chunk += "\r\n";
    const std::string root(kRootName);
    if (catalog().displayedCount() == 0) {
        chunk += "<" + root + " />";
        return file.write(chunk) & file.close();
    }
    chunk += "<" + root + ">";
    ItemElement element(catalog());
    bool written = true;
    CVXMLNode::setDepth(1);
    for (const CFileItem* item : catalog().displayedItems()) {
        chunk += "\r\n";
        element.appendMarkup(chunk, *item);
        if (chunk.size() >= CExportFileWriter::kChunkSize) {
            written = file.write(chunk);
            chunk.clear();
            if (!written) {
                break;
            }
        }
    }
    CVXMLNode::setDepth(0);
    chunk += "\r\n</" + root + ">";
    written = written && file.write(chunk);
    return file.close() && written;
}
