#include "catalogfile/CArchiveReader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "catalogfile/CatalogFormat.h"
#include "catalogfile/Utf16.h"
#include "text/Cp932.h"

using namespace catalog_format;

namespace {

// Eight bytes at a time: most texts of a catalog (paths, many values) are plain ASCII, and ASCII reads as
// itself in code page 932.
bool isAscii(std::string_view bytes) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const char* data = bytes.data();
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, sizeof word);
        if ((word & kHighBits) != 0)
            return false;
    }
    for (; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(data[i]) >= 0x80)
            return false;
    }
    return true;
}

}  // namespace

void CArchiveReader::fail(ArchiveErrorKind kind, std::uint64_t offset, std::string detail) {
    if (!m_error)
        m_error.emplace(kind, offset, std::move(detail));
}



std::uint16_t CArchiveReader::readU16() {
    if (!need(2, m_pos))
        return 0;
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint16_t>(static_cast<unsigned char>(m_bytes[m_pos + i]));
    };
    std::uint16_t value = static_cast<std::uint16_t>(byte(0) | (byte(1) << 8));
    m_pos += 2;
    return value;
}


std::string_view CArchiveReader::readBytes(std::size_t count) {
    if (!need(count, m_pos))
        return {};
    std::string_view bytes = m_bytes.substr(m_pos, count);
    m_pos += count;
    return bytes;
}

// Reads a length prefix. In the first prefix of a string, 0xFF 0xFFFE is not a length but the mark of the
// UTF-16 form: *utf16 is set and the complete prefix that follows is read as the length in code units
// (there 0xFF 0xFFFE is simply the length 0xFFFE).
std::uint64_t CArchiveReader::readLength(std::uint64_t fieldOffset, bool* utf16) {
    if (!need(1, fieldOffset))
        return 0;
    std::uint8_t first = static_cast<unsigned char>(m_bytes[m_pos++]);
    if (first != kStringByteEscape)
        return first;
    if (!need(2, fieldOffset))
        return 0;
    std::uint16_t word = readU16();
    if (word == kStringUtf16Mark && utf16 != nullptr) {
        *utf16 = true;
        return readLength(fieldOffset, nullptr);
    }
    if (word != kStringWordEscape)
        return word;
    if (!need(4, fieldOffset))
        return 0;
    return readU32();
}

std::string CArchiveReader::readString() {
    std::uint64_t fieldOffset = m_pos;
    bool utf16 = false;
    std::uint64_t length = readLength(fieldOffset, &utf16);
    if (utf16)
        return readUtf16Text(length, fieldOffset);
    return readCp932Text(length, fieldOffset);
}

void CArchiveReader::skipLongString() {
    std::uint64_t fieldOffset = m_pos;
    bool utf16 = false;
    const std::uint64_t length = readLength(fieldOffset, &utf16);
    const std::uint64_t bytes = utf16 ? length * 2 : length;
    if (need(bytes, fieldOffset))
        m_pos += bytes;
}

void CArchiveReader::appendLongString(CItemRecord::Builder& out) {
    std::uint64_t fieldOffset = m_pos;
    bool utf16 = false;
    std::uint64_t length = readLength(fieldOffset, &utf16);
    if (utf16) {
        out.append(readUtf16Text(length, fieldOffset));
        return;
    }
    if (need(length, fieldOffset))
        appendCp932Text(readBytes(length), out);
}

void CArchiveReader::appendCp932Text(std::string_view bytes, CItemRecord::Builder& out) const {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    constexpr std::size_t kWord = sizeof(std::uint64_t);
    const std::size_t size = bytes.size();
    char* at = out.room(jtext::cp932Utf8Room(size));
    // ASCII reads as itself. Eight bytes are loaded at a time, the bytes past the text masked off, and stored
    // whole (the room allows it); the rest from the first byte that is not ASCII is converted.
    const std::size_t readable = static_cast<std::size_t>(m_bytes.data() + m_bytes.size() - bytes.data());
    std::size_t pos = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (pos < size && readable - pos >= kWord) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + pos, kWord);
            const std::size_t left = size - pos;
            const std::uint64_t inText =
                left >= kWord ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * left)) - 1;
            const std::uint64_t high = word & kHighBits & inText;
            std::memcpy(at + pos, &word, kWord);
            if (high != 0) {
                pos += static_cast<std::size_t>(std::countr_zero(high)) / 8;
                break;
            }
            pos += std::min(left, kWord);
        }
    }
    char* end = pos < size ? jtext::cp932ToUtf8(bytes.substr(pos), at + pos) : at + size;
    out.added(static_cast<std::size_t>(end - at));
}

std::string CArchiveReader::readCp932Text(std::uint64_t length, std::uint64_t fieldOffset) {
    if (!need(length, fieldOffset))
        return {};
    std::string_view bytes = readBytes(length);
    if (isAscii(bytes))
        return std::string(bytes);
    // Converted in a buffer kept across strings, so that the string returned is allocated once, at its size.
    jtext::cp932ToUtf8(bytes, m_converted);
    return m_converted;
}

std::string CArchiveReader::readUtf16Text(std::uint64_t units, std::uint64_t fieldOffset) {
    if (!need(units * 2, fieldOffset))
        return {};
    return utf16LeToUtf8(readBytes(units * 2));
}

std::uint32_t CArchiveReader::readCount(std::size_t minElementBytes) {
    std::uint64_t fieldOffset = m_pos;
    std::uint32_t count = readU16();
    if (count == kCountEscape && need(4, fieldOffset))
        count = readU32();
    if (!ok())
        return 0;
    if (count > remaining() / minElementBytes) {
        fail(ArchiveErrorKind::CountTooLarge, fieldOffset,
             std::to_string(count) + " elements in " + std::to_string(remaining()) + " bytes");
        return 0;
    }
    return count;
}

std::vector<std::string> CArchiveReader::readStringArray() {
    std::uint32_t count = readCount(kMinStringBytes);
    std::vector<std::string> strings;
    strings.reserve(count);
    for (std::uint32_t i = 0; i < count && ok(); ++i)
        strings.push_back(readString());
    if (!ok())
        strings.clear();
    return strings;
}
