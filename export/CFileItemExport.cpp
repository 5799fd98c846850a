#include "export/CFileItemExport.h"

#include <vector>

#include "export/CExportFileWriter.h"
#include "model/CFileCatalog.h"
#include "model/CFileItem.h"

// Display order visits the items out of the order they were allocated in, so formatting them one by one
// waits for memory row after row, each time along a chain of three loads: the item, its record, the
// record's texts. Each row starts the fetch of one link of the chain for rows further on, each link at its
// own distance, so that when a row is formatted its memory has arrived: the item 16 rows ahead, the record
// of the item 8 rows ahead (whose item arrived meanwhile), the texts of the item 4 rows ahead.
void CFileItemExport::readAhead(int index) const {
    constexpr std::size_t kItemAhead = 16;
    constexpr std::size_t kRecordAhead = 8;
    constexpr std::size_t kTextsAhead = 4;
    const std::vector<CFileItem*>& items = catalog().displayedItems();
    const std::size_t i = static_cast<std::size_t>(index);
    if (i + kItemAhead < items.size()) {
        __builtin_prefetch(items[i + kItemAhead]);
    }
    if (i + kRecordAhead < items.size()) {
        __builtin_prefetch(items[i + kRecordAhead]->record().get());
    }
    if (i + kTextsAhead < items.size()) {
        const CFileItem::Record& record = *items[i + kTextsAhead]->record();
        __builtin_prefetch(record.path.data());
        if (record.path.size() > 64) {
            __builtin_prefetch(record.path.data() + 64);
        }
        __builtin_prefetch(record.title.data());
        __builtin_prefetch(record.memo.data());
    }
}

bool CFileItemExport::exportToFile(std::string_view path) {
    CExportFileWriter file;
    if (!file.open(path)) {
        return false;
    }
    std::string chunk;
    chunk.reserve(CExportFileWriter::kChunkSize * 2);
    appendHeader(chunk);
    bool written = true;
    const int count = catalog().displayedCount();
    for (int i = 0; i < count && written; ++i) {
        readAhead(i);
        appendRow(chunk, i);
        if (chunk.size() >= CExportFileWriter::kChunkSize) {
            written = file.write(chunk);
            chunk.clear();
        }
    }
    appendFooter(chunk);
    written = written && file.write(chunk);
    return file.close() && written;
}

bool CFileItemExport::exportToText(std::string& out) {
    appendHeader(out);
    const int count = catalog().displayedCount();
    for (int i = 0; i < count; ++i) {
        appendRow(out, i);
    }
    appendFooter(out);
    return true;
}

bool CFileItemExport::copyToClipboard(CTextClipboard& clipboard) {
    std::string text;
    exportToText(text);
    clipboard.setText(text);
    return true;
}

std::string CFileItemExport::row(int index) const {
    std::string text;
    appendRow(text, index);
    return text;
}

std::string CFileItemExport::header() const {
    std::string text;
    appendHeader(text);
    return text;
}

std::string CFileItemExport::footer() const {
    std::string text;
    appendFooter(text);
    return text;
}

const CFileItem& CFileItemExport::displayedItem(int index) const {
    return *catalog().displayedItem(index);
}
