#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogfile/CArchiveError.h"
#include "catalogfile/CatalogFormat.h"
#include "model/CItemRecord.h"

// Reads the primitive encodings of the catalog file from bytes in memory. Every read is bounds-checked.
// The first failure is kept with its kind and the offset of the field where it was found; from then on
// every read returns a zero value and changes nothing, so a caller can read a whole record and test ok()
// once. Nothing is allocated beyond what the remaining bytes can justify.
class CArchiveReader final {
public:
    // The reader keeps a view of the bytes: they must outlive it.
    explicit CArchiveReader(std::string_view bytes) : m_bytes(bytes) {}
    explicit CArchiveReader(std::string&&) = delete;

    bool ok() const { return !m_error.has_value(); }
    const std::optional<CArchiveError>& error() const { return m_error; }
    // Records a failure found at `offset` unless one is already recorded.
    void fail(ArchiveErrorKind kind, std::uint64_t offset, std::string detail = {});

    std::uint64_t offset() const { return m_pos; }
    // Moves to `offset` (at most the size of the bytes), for reading a record found before.
    void seek(std::size_t offset) { m_pos = std::min(offset, m_bytes.size()); }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }

    std::int32_t readI32() { return static_cast<std::int32_t>(readU32()); }
    std::uint16_t readU16();
    std::uint32_t readU32() {
        if (!need(4, m_pos))
            return 0;
        std::uint32_t value = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&value, m_bytes.data() + m_pos, sizeof value);
        } else {
            for (int i = 3; i >= 0; --i)
                value = (value << 8) | static_cast<unsigned char>(m_bytes[m_pos + i]);
        }
        m_pos += 4;
        return value;
    }
    // Raw bytes (for class names).
    std::string_view readBytes(std::size_t count);

    // A string in any of its prefix forms, code page 932 or UTF-16, returned as UTF-8.
    std::string readString();
    // Steps over a string, checking it as readString does.
    void skipString() {
        if (std::string_view bytes; !takeShortString(&bytes))
            skipLongString();
    }
    // The same string added to the text being built in `out`.
    void appendString(CItemRecord::Builder& out) {
        if (std::string_view bytes; takeShortString(&bytes)) {
            if (!bytes.empty())
                appendCp932Text(bytes, out);
            return;
        }
        appendLongString(out);
    }
    // A count in either form. `minElementBytes` is the fewest bytes one element takes: a count whose
    // elements cannot fit in the rest of the file is a count-too-large error (and reads as 0).
    std::uint32_t readCount(std::size_t minElementBytes);
    std::vector<std::string> readStringArray();

private:
    // True when `count` more bytes are there; else records an end-of-file failure of the field at
    // fieldOffset.
    bool need(std::size_t count, std::uint64_t fieldOffset) {
        if (!ok())
            return false;
        if (count > remaining()) {
            fail(ArchiveErrorKind::EndOfFile, fieldOffset);
            return false;
        }
        return true;
    }
    std::uint64_t readLength(std::uint64_t fieldOffset, bool* utf16);
    // Nearly every string of a catalog has the one-byte length prefix: takes such a string whole, without
    // the general path. False (nothing taken) for any other string, or one that does not fit.
    bool takeShortString(std::string_view* bytes) {
        if (!ok() || m_pos >= m_bytes.size())
            return false;
        const auto length = static_cast<unsigned char>(m_bytes[m_pos]);
        if (length == catalog_format::kStringByteEscape || length >= m_bytes.size() - m_pos)
            return false;
        *bytes = m_bytes.substr(m_pos + 1, length);
        m_pos += 1 + static_cast<std::size_t>(length);
        return true;
    }
    // skipString and appendString for the strings takeShortString leaves.
    void skipLongString();
    void appendLongString(CItemRecord::Builder& out);
    std::string readCp932Text(std::uint64_t length, std::uint64_t fieldOffset);
    // `bytes` lies within the bytes read: the ASCII run at its start is copied with 8-byte loads, which may
    // look past its end as long as they stay within the bytes read.
    void appendCp932Text(std::string_view bytes, CItemRecord::Builder& out) const;
    std::string readUtf16Text(std::uint64_t units, std::uint64_t fieldOffset);

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::optional<CArchiveError> m_error;
    std::string m_converted;
};
