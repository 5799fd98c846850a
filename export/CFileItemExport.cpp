#include "export/CFileItemExport.h"

#include <algorithm>

#include "export/CExportFileWriter.h"
#include "model/CFileCatalog.h"

namespace {

// Where the warm-up's reads go, so that the compiler keeps them.
volatile unsigned g_warmUpSink = 0;

unsigned firstByte(std::string_view text) {
    return text.empty() ? 0u : static_cast<unsigned char>(text[0]);
}

}  // namespace

// Display order visits the items out of the order they were allocated in, so formatting them one by one
// waits for memory item after item. A short loop that reads one byte of every text of a batch lets the
// processor fetch the whole batch at the same time; the formatting then finds it in the cache.
void CFileItemExport::warmUp(int first, int count) const {
    const std::vector<CFileItem*>& items = catalog().displayedItems();
    const std::size_t end = std::min(items.size(), static_cast<std::size_t>(first + count));
    unsigned sum = 0;
    for (std::size_t i = static_cast<std::size_t>(first); i < end; ++i) {
        const CFileItem& item = *items[i];
        sum += firstByte(item.path()) + firstByte(item.title()) + firstByte(item.memo());
        for (const std::string_view values : item.valueStrings()) {
            sum += firstByte(values);
        }
    }
    g_warmUpSink = sum;
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
        if (i % kWarmUpBatch == 0) {
            warmUp(i, kWarmUpBatch);
        }
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
