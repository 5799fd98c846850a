#include "export/CFileItemXMLExport.h"

#include <algorithm>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "catalog/CItemTexts.h"
#include "export/CExportFileWriter.h"
#include "export/CVXMLDocument.h"
#include "export/XmlEscape.h"

// The document is written as it is produced, item by item, so that a large export holds no tree and no
// whole text in memory. The layout is the document model's indented layout (see CVXMLElement): the
// declaration line; the root start tag; each item on its own line at one tab, each of its fields on its own
// line at two, the category values at three; every end tag of an element with element children on a line
// of its own; the root end tag last, without a final line break. A text-only element stays on one line and
// an element without text is written as its start tag ending in " />".
namespace {

class ItemWriter final {
public:
    explicit ItemWriter(const CFileCatalog& catalog) {
        for (int i = 0; i < catalog.categoryCount(); ++i) {
            std::string tag = "<attr";
            // An empty category name leaves the attribute out.
            if (!catalog.categoryName(i).empty()) {
                tag += " name=\"";
                appendEscapedXmlAttribute(tag, catalog.categoryName(i));
                tag += '"';
            }
            tag += '>';
            m_attrStartTags.push_back(std::move(tag));
        }
    }

    void append(std::string& out, const CFileItem& item) {
        out += "\r\n\t<item>";
        if (!item.title().empty()) {
            appendField(out, "title", item.title());
        }
        if (!item.memo().empty()) {
            appendField(out, "memo", item.memo());
        }
        if (item.kind() != ItemKind::Url) {
            m_date.clear();
            CItemTexts::appendDate(m_date, item.date(), DateStyle::Export);
            appendField(out, "date", m_date);
        }
        appendField(out, "filename", item.path());
        appendCategory(out, item);
        out += "\r\n\t</item>";
    }

private:
    static void appendField(std::string& out, std::string_view tag, std::string_view text) {
        out += "\r\n\t\t<";
        out += tag;
        if (text.empty()) {
            out += " />";
            return;
        }
        out += '>';
        appendEscapedXmlText(out, text);
        out += "</";
        out += tag;
        out += '>';
    }

    // "category" holds an "attr" per category in which the item has values, and is left out without any.
    void appendCategory(std::string& out, const CFileItem& item) const {
        const int count = std::min(static_cast<int>(m_attrStartTags.size()), item.valueCount());
        bool opened = false;
        for (int i = 0; i < count; ++i) {
            const std::string_view values = item.valueString(i);
            if (values.empty()) {
                continue;
            }
            if (!opened) {
                out += "\r\n\t\t<category>";
                opened = true;
            }
            out += "\r\n\t\t\t";
            out += m_attrStartTags[static_cast<std::size_t>(i)];
            appendEscapedXmlText(out, values);
            out += "</attr>";
        }
        if (opened) {
            out += "\r\n\t\t</category>";
        }
    }

    std::vector<std::string> m_attrStartTags;
    std::string m_date;
};

}  // namespace

bool CFileItemXMLExport::exportToFile(std::string_view path) {
    CExportFileWriter file;
    if (!file.open(path)) {
        return false;
    }
    std::string chunk;
    chunk.reserve(CExportFileWriter::kChunkSize * 2);
    chunk += CVXMLDocument::kDeclaration;
    chunk += "\r\n<";
    chunk += kRootName;
    if (catalog().displayedCount() == 0) {
        chunk += " />";
        const bool written = file.write(chunk);
        return file.close() && written;
    }
    chunk += '>';
    ItemWriter writer(catalog());
    bool written = true;
    const int count = catalog().displayedCount();
    for (int i = 0; i < count; ++i) {
        fetchAhead(i);
        writer.append(chunk, displayedItem(i));
        if (chunk.size() >= CExportFileWriter::kChunkSize) {
            written = file.write(chunk);
            if (!written) {
                break;
            }
        }
    }
    chunk += "\r\n</";
    chunk += kRootName;
    chunk += '>';
    written = written && file.write(chunk);
    return file.close() && written;
}
