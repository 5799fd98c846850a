#include "export/CExportFileWriter.h"

#include <string>

#include "platform/CUserInterface.h"

bool CExportFileWriter::open(std::string_view path) {
    try {
        m_file.open(std::string(path), "wb");
        m_failed = false;
    } catch (const CVemtoFileException& failure) {
        report(failure);
    }
    return !m_failed;
}

bool CExportFileWriter::write(std::string_view bytes) {
    if (m_failed) {
        return false;
    }
    try {
        m_file.write(bytes);
    } catch (const CVemtoFileException& failure) {
        report(failure);
    }
    return !m_failed;
}

bool CExportFileWriter::close() {
    if (m_failed) {
        return false;
    }
    try {
        m_file.close();
    } catch (const CVemtoFileException& failure) {
        report(failure);
    }
    return !m_failed;
}

void CExportFileWriter::report(const CVemtoFileException& failure) {
    m_failed = true;
    CUserInterface::current().message(failure.message(), MessageIcon::Error);
}
