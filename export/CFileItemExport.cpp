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

// The years that the date type can hold.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;

std::string CFileItemExport::formatDate(const COleDate& date) {
    std::string text;
    appendDate(text, date);
    return text;
}

void CFileItemExport::appendDate(std::string& out, const COleDate& date) {
    if (!date.isValid()) {
        return;
    }
    const COleDate::Fields f = date.fields();
    if (f.year < kFirstYear || f.year > kLastYear) {
        return;
    }
    char text[] = "0000-00-00 00:00:00";
    const auto put = [&text](std::size_t end, int value, int digits) {
        for (; digits > 0; --digits, value /= 10) {
            text[--end] = static_cast<char>('0' + value % 10);
        }
    };
    put(4, f.year, 4);
    put(7, f.month, 2);
    put(10, f.day, 2);
    put(13, f.hour, 2);
    put(16, f.minute, 2);
    put(19, f.second, 2);
    out.append(text, sizeof text - 1);
}

const CFileItem& CFileItemExport::displayedItem(int index) const {
    return *catalog().displayedItem(index);
}
