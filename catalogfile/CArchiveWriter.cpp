#include "catalogfile/CArchiveWriter.h"

#include "catalogfile/CatalogFormat.h"
#include "catalogfile/Utf16.h"
#include "text/Cp932.h"

using namespace catalog_format;

namespace {

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// A string that is not valid UTF-8 (a Linux file name is bytes) holds bytes that form no character. Such
// bytes pass into code page 932 unchanged, which keeps them only when they read back as the same bytes;
// "\x82\xA0" would read back as "あ". The UTF-16 form keeps them whatever they are, as lone surrogates.
bool survivesCp932(std::string_view utf8, std::string_view cp932) {
    for (std::size_t pos = 0; pos < utf8.size();) {
        const jtext::Utf8Char c = jtext::decodeUtf8(utf8, pos);
        if (c.length == 1 && static_cast<unsigned char>(utf8[pos]) >= 0x80)
            return jtext::cp932ToUtf8(cp932) == utf8;
        pos += c.length;
    }
    return true;
}

}  // namespace

void CArchiveWriter::writeU16(std::uint16_t value) {
    m_bytes.push_back(static_cast<char>(value & 0xFF));
    m_bytes.push_back(static_cast<char>(value >> 8));
}

void CArchiveWriter::writeU32(std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// n < 0xFF: u8 n; n < 0xFFFE: 0xFF, u16 n; otherwise 0xFF, u16 0xFFFF, u32 n.
void CArchiveWriter::writeLength(std::uint64_t length) {
    if (length < kStringByteEscape) {
        m_bytes.push_back(static_cast<char>(length));
        return;
    }
    m_bytes.push_back(static_cast<char>(kStringByteEscape));
    if (length < kStringUtf16Mark) {
        writeU16(static_cast<std::uint16_t>(length));
        return;
    }
    writeU16(kStringWordEscape);
    writeU32(static_cast<std::uint32_t>(length));
}

void CArchiveWriter::writeString(std::string_view utf8) {
    if (isAscii(utf8)) {
        writeLength(utf8.size());
        writeBytes(utf8);
        return;
    }
    bool lossless = true;
    std::string cp932 = jtext::utf8ToCp932(utf8, &lossless);
    if (lossless && survivesCp932(utf8, cp932)) {
        writeLength(cp932.size());
        writeBytes(cp932);
        return;
    }
    // 0xFF, u16 0xFFFE, then the length in code units and the UTF-16LE text.
    std::string utf16 = utf8ToUtf16Le(utf8);
    m_bytes.push_back(static_cast<char>(kStringByteEscape));
    writeU16(kStringUtf16Mark);
    writeLength(utf16.size() / 2);
    writeBytes(utf16);
}

// n < 0xFFFF: u16 n; otherwise u16 0xFFFF, u32 n.
void CArchiveWriter::writeCount(std::uint32_t count) {
    if (count < kCountEscape) {
        writeU16(static_cast<std::uint16_t>(count));
        return;
    }
    writeU16(kCountEscape);
    writeU32(count);
}

void CArchiveWriter::writeStringArray(const std::vector<std::string>& strings) {
    writeCount(static_cast<std::uint32_t>(strings.size()));
    for (const std::string& s : strings)
        writeString(s);
}

void CArchiveWriter::writeStringArray(const CValueStrings& strings) {
    writeCount(static_cast<std::uint32_t>(strings.size()));
    for (const std::string_view s : strings)
        writeString(s);
}
