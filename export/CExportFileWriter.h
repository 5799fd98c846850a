#pragma once

// Writes an export file: created or truncated, bytes written as they are (binary), buffered. A failure to
// open, write or close is shown to the user once, as "ファイルのオープンに失敗しました:" (or
// "ファイルの書込に失敗しました:", "ファイルのクローズに失敗しました:") and the path. The file is closed in
// every case, at the latest when the writer is destroyed.

#include <cstdio>
#include <string>
#include <string_view>

class CExportFileWriter final {
public:
    // Texts are handed to write() in pieces of about this size; larger pieces go to the file directly.
    static constexpr std::size_t kChunkSize = 1 << 20;
    static constexpr std::string_view kOpenFailed = "ファイルのオープンに失敗しました";
    static constexpr std::string_view kWriteFailed = "ファイルの書込に失敗しました";
    static constexpr std::string_view kCloseFailed = "ファイルのクローズに失敗しました";

    CExportFileWriter() = default;
    ~CExportFileWriter();
    CExportFileWriter(const CExportFileWriter&) = delete;
    CExportFileWriter& operator=(const CExportFileWriter&) = delete;

    bool open(std::string_view path);
    // False once any write has failed; later writes are dropped.
    bool write(std::string_view bytes);
    // Writes what is buffered and closes; false when that or an earlier write failed.
    bool close();

private:
    bool flushBuffer();
    bool writeThrough(std::string_view bytes);
    void report(std::string_view failure) const;

    static constexpr std::size_t kBufferSize = kChunkSize;

    std::FILE* m_file = nullptr;
    std::string m_path;
    std::string m_buffer;
    bool m_failed = false;
};
