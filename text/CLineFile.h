#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

#include "text/CVemtoFileException.h"

// A text file read line by line or written piece by piece. Open, write and close failures throw
// CVemtoFileException with "ファイルのオープンに失敗しました", "ファイルの書込に失敗しました" or
// "ファイルのクローズに失敗しました", ":" and the path; after a failure the file is closed.
// The file is closed when the object is destroyed.
class CLineFile final {
public:
    static constexpr std::size_t kMaxLineLength = 32767;

    CLineFile() = default;
    ~CLineFile();
    CLineFile(const CLineFile&) = delete;
    CLineFile& operator=(const CLineFile&) = delete;

    // Opens the file with an fopen mode ("r", "w", "wb", "a", ...); a file already open is closed first.
    void open(const std::string& path, const char* mode);
    // Reads the next line with its line end, at most maxLength bytes (a longer line continues in the next
    // call). False at the end of the file or when the file is not open.
    bool readLine(std::string& line, std::size_t maxLength = kMaxLineLength);
    void write(std::string_view text);
    void close();

    bool isOpen() const { return m_file != nullptr; }
    const std::string& path() const { return m_path; }

private:
    [[noreturn]] void fail(const char* failureText);

    std::FILE* m_file = nullptr;
    std::string m_path;
};
