#pragma once

// Writes an export file through the line file: created or truncated, bytes written as they are (binary).
// A failure to open, write or close is shown to the user once, as "ファイルのオープンに失敗しました:"
// (or "ファイルの書込に失敗しました:", "ファイルのクローズに失敗しました:") and the path, and gives false.
// The file is closed in every case, at the latest when the writer is destroyed.

#include <cstddef>
#include <string_view>

#include "text/CLineFile.h"

class CExportFileWriter final {
public:
    // Exporters hand their text to write() in pieces of about this size.
    static constexpr std::size_t kChunkSize = 1 << 20;

    bool open(std::string_view path);
    // False once any write has failed; later writes are dropped.
    bool write(std::string_view bytes);
    // False when closing or an earlier step failed.
    bool close();

private:
    void report(const CVemtoFileException& failure);

    CLineFile m_file;
    bool m_failed = false;
};
