#include "platform/CWireReader.h"

void CWireReader::fail(const std::string& what) {
    if (!m_error)
        m_error = "at byte " + std::to_string(m_offset) + " of a message of type " + std::to_string(m_type) + ": " + what;
}

bool CWireReader::take(const char* field, std::size_t size) {
    if (m_error)
        return false;
    if (size > m_payload.size() - m_offset) {
        fail(std::string(field) + " needs " + std::to_string(size) + " bytes, " +
             std::to_string(m_payload.size() - m_offset) + " left");
        return false;
    }
    return true;
}

std::uint32_t CWireReader::u32(const char* field) {
    if (!take(field, 4))
        return 0;
    const auto* in = reinterpret_cast<const unsigned char*>(m_payload.data() + m_offset);
    m_offset += 4;
    return std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
}

std::string CWireReader::bytes(const char* field, std::size_t maxLength) {
    const std::size_t start = m_offset;
    const std::uint32_t length = u32(field);
    if (m_error)
        return std::string();
    if (length > maxLength) {
        m_offset = start;
        fail(std::string(field) + " of " + std::to_string(length) + " bytes, at most " + std::to_string(maxLength));
        return std::string();
    }
    if (!take(field, length))
        return std::string();
    std::string result = m_payload.substr(m_offset, length);
    m_offset += length;
    return result;
}

std::string CWireReader::text(const char* field, std::size_t maxLength) {
    const std::size_t start = m_offset;
    std::string result = bytes(field, maxLength);
    if (!m_error && result.find('\0') != std::string::npos) {
        m_offset = start;
        fail(std::string(field) + " holds a zero byte");
        return std::string();
    }
    return result;
}

std::int64_t CWireReader::number(const char* field, std::int64_t low, std::int64_t high) {
    const std::size_t start = m_offset;
    const std::int64_t value = i32(field);
    if (m_error)
        return 0;
    if (value < low || value > high) {
        m_offset = start;
        fail(std::string(field) + " is " + std::to_string(value) + ", not in " + std::to_string(low) + ".." +
             std::to_string(high));
        return 0;
    }
    return value;
}

void CWireReader::finish() {
    if (!m_error && m_offset != m_payload.size())
        fail(std::to_string(m_payload.size() - m_offset) + " bytes after the last field");
}
