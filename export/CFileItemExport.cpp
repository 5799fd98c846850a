#include "export/CFileItemExport.h"

#include <algorithm>
#include <cstdint>

#include "catalog/CFileCatalog.h"
#include "export/CExportFileWriter.h"

namespace {

// Where the warm-up's reads go, so that the compiler keeps them.
volatile unsigned g_warmUpSink = 0;

unsigned firstByte(std::string_view text) {
    return text.empty() ? 0u : static_cast<unsigned char>(text[0]);
}

}  // namespace

// Display order visits the items out of the order they were allocated in, so formatting them one by one
// waits for memory item after item. The items a little ahead are fetched in stages instead, each stage
// needing only what the stage before brought in: the item, then its stored fields, then their texts. The
// formatting then finds them in the cache.
void CFileItemExport::fetchAhead(int index) const {
    constexpr int kAhead = 8;
    const std::vector<CFileItem*>& items = catalog().displayedItems();
    const std::size_t count = items.size();
    const std::size_t i = static_cast<std::size_t>(index);
    if (i + 3 * kAhead < count) {
        __builtin_prefetch(items[i + 3 * kAhead]);
        __builtin_prefetch(reinterpret_cast<const char*>(items[i + 3 * kAhead]) + 64);
    }
    if (i + 2 * kAhead < count) {
        // The stored fields: one record, its offsets and texts together in one allocation.
        const auto* record = reinterpret_cast<const char*>(items[i + 2 * kAhead]->record().get());
        for (int line = 0; line < 4; ++line) {
            __builtin_prefetch(record + 64 * line);
        }
    }
    if (i + kAhead < count) {
        const CFileItem& item = *items[i + kAhead];
        __builtin_prefetch(item.path().data());
        __builtin_prefetch(item.title().data());
        __builtin_prefetch(item.memo().data());
        unsigned sum = 0;
        for (const std::string_view values : item.valueStrings()) {
            sum += firstByte(values);
        }
        g_warmUpSink = sum;
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
        fetchAhead(i);
        appendRow(chunk, i);
        if (chunk.size() >= CExportFileWriter::kChunkSize) {
            written = file.write(chunk);
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
