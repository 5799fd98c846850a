#include "text/CLineFile.h"

namespace {

constexpr const char* kOpenFailed = "ファイルのオープンに失敗しました";
constexpr const char* kWriteFailed = "ファイルの書込に失敗しました";
constexpr const char* kCloseFailed = "ファイルのクローズに失敗しました";

}  // namespace

CLineFile::~CLineFile() {
    if (m_file)
        std::fclose(m_file);  // a destructor cannot report; callers that care call close()
}

void CLineFile::open(const std::string& path, const char* mode) {
    if (m_file)
        close();
    m_path = path;
    m_file = std::fopen(path.c_str(), mode);
    if (!m_file)
        fail(kOpenFailed);
}

bool CLineFile::readLine(std::string& line, std::size_t maxLength) {
    line.clear();
    if (!m_file)
        return false;
    for (int c; line.size() < maxLength && (c = std::fgetc(m_file)) != EOF;) {
        line.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !line.empty();
}

void CLineFile::write(std::string_view text) {
    if (!m_file)
        fail(kWriteFailed);
    // Output is buffered: a failure that shows only when the buffer is flushed is reported by close().
    if (std::fwrite(text.data(), 1, text.size(), m_file) != text.size())
        fail(kWriteFailed);
}

void CLineFile::close() {
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0)
        throw CVemtoFileException(kCloseFailed, m_path);
}

void CLineFile::fail(const char* failureText) {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    throw CVemtoFileException(failureText, m_path);
}
