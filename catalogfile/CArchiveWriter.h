#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/CValueStrings.h"

// Writes the primitive encodings of the catalog file into a byte buffer.
class CArchiveWriter final {
public:
    void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
    void writeU16(std::uint16_t value);
    void writeU32(std::uint32_t value);
    void writeBytes(std::string_view bytes) { m_bytes.append(bytes); }

    // A UTF-8 string: as code page 932 bytes when every character has a code page 932 form, otherwise in
    // the UTF-16 form, so that no character is lost.
    void writeString(std::string_view utf8);
    void writeCount(std::uint32_t count);
    void writeStringArray(const std::vector<std::string>& strings);
    void writeStringArray(const CValueStrings& strings);

    const std::string& bytes() const { return m_bytes; }
    std::string takeBytes() { return std::move(m_bytes); }

private:
    void writeLength(std::uint64_t length);

    std::string m_bytes;
};
