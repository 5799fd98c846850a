#pragma once

// The base of the exporters: walks the catalog's displayed items (those that passed the category selection
// and the filters) in display order and writes a header, one row per item and a footer.

#include <string>
#include <string_view>

#include "export/CTextClipboard.h"

class CFileCatalog;
class CFileItem;

class CFileItemExport {
public:
    explicit CFileItemExport(const CFileCatalog& catalog) : m_catalog(&catalog) {}
    virtual ~CFileItemExport() = default;
    CFileItemExport(const CFileItemExport&) = delete;
    CFileItemExport& operator=(const CFileItemExport&) = delete;

    // Writes the header (when not empty), the row of every displayed item and the footer (when not empty)
    // to the file, as they are. A failure is shown to the user with the path and gives false.
    virtual bool exportToFile(std::string_view path);
    // Appends the header, all rows and the footer to `out`.
    virtual bool exportToText(std::string& out);
    // Puts the whole text on the clipboard. Nothing is reported.
    virtual bool copyToClipboard(CTextClipboard& clipboard);

    // The text of displayed item `index`, and the header and footer texts.
    std::string row(int index) const;
    std::string header() const;
    std::string footer() const;

protected:
    const CFileCatalog& catalog() const { return *m_catalog; }
    const CFileItem& displayedItem(int index) const;
    // Fetches into the cache what the displayed items a little after `index` hold, before a long export
    // formats them; called once per item, in display order.
    void fetchAhead(int index) const;

    virtual void appendRow(std::string& out, int index) const = 0;
    virtual void appendHeader(std::string& out) const = 0;
    virtual void appendFooter(std::string& /*out*/) const {}

private:
    const CFileCatalog* m_catalog;
};
