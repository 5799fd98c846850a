#include "export/CExportFileWriter.h"

#include "platform/CUserInterface.h"

CExportFileWriter::~CExportFileWriter() {
    if (m_file != nullptr) {
        std::fclose(m_file);
    }
}

bool CExportFileWriter::open(std::string_view path) {
    m_path = path;
    m_failed = false;
    m_file = std::fopen(m_path.c_str(), "wb");
    if (m_file == nullptr) {
        report(kOpenFailed);
        return false;
    }
    // The writer buffers by itself, so that a failing write shows as one and not only at closing.
    std::setvbuf(m_file, nullptr, _IONBF, 0);
    m_buffer.reserve(kBufferSize);
    return true;
}

bool CExportFileWriter::write(std::string_view bytes) {
    if (m_file == nullptr || m_failed) {
        return false;
    }
    if (m_buffer.size() + bytes.size() > kBufferSize) {
        if (!flushBuffer()) {
            return false;
        }
        if (bytes.size() >= kBufferSize) {
            return writeThrough(bytes);
        }
    }
    m_buffer.append(bytes);
    return true;
}

bool CExportFileWriter::close() {
    if (m_file == nullptr) {
        return false;
    }
    const bool flushed = !m_failed && flushBuffer();
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (flushed && !closed) {
        report(kCloseFailed);
    }
    return flushed && closed;
}

bool CExportFileWriter::flushBuffer() {
    const bool written = writeThrough(m_buffer);
    m_buffer.clear();
    return written;
}

bool CExportFileWriter::writeThrough(std::string_view bytes) {
    if (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size()) {
        return true;
    }
    m_failed = true;
    report(kWriteFailed);
    return false;
}

void CExportFileWriter::report(std::string_view failure) const {
    std::string message(failure);
    message += ':';
    message += m_path;
    CUserInterface::current().message(message, MessageIcon::Error);
}
