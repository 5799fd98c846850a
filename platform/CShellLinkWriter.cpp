#include "platform/CShellLinkWriter.h"

#include <optional>
#include <string>

#include "platform/ShellLinkFormat.h"

using namespace ShellLinkFormat;

namespace {

// UTF-16 units of UTF-8 text, or nullopt when the text is not valid UTF-8 (a Linux file name may hold
// any bytes; such a path is then written in the byte form only, which keeps it exact).
std::optional<std::vector<std::uint16_t>> utf16OfUtf8(const std::string& text) {
    std::vector<std::uint16_t> units;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80           ? 1
                           : (lead >> 5) == 0x6  ? 2
                           : (lead >> 4) == 0xE  ? 3
                           : (lead >> 3) == 0x1E ? 4
                                                 : 0;
        if (length == 0 || i + length > text.size()) {
            return std::nullopt;
        }
        std::uint32_t codePoint = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codePoint < kSmallest[length] || codePoint > 0x10FFFF ||
            (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            return std::nullopt;
        }
        if (codePoint >= 0x10000) {
            units.push_back(static_cast<std::uint16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(codePoint));
        }
        i += length;
    }
    return units;
}

}  // namespace

std::vector<std::uint8_t> CShellLinkWriter::bytesOf(const CShellLink& link) {
    std::vector<std::uint8_t> bytes;
    CShellLinkWriter writer(bytes);
    writer.writeHeader(link);
    writer.writeLinkInfo(link);
    writer.writeIdentityBlock(link);
    writer.writeTerminalBlock();
    return bytes;
}

void CShellLinkWriter::u16(std::uint16_t value) {
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void CShellLinkWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void CShellLinkWriter::u64(std::uint64_t value) {
    u32(static_cast<std::uint32_t>(value));
    u32(static_cast<std::uint32_t>(value >> 32));
}

void CShellLinkWriter::putU32At(std::size_t offset, std::uint32_t value) {
    for (int k = 0; k < 4; ++k) {
        m_bytes[offset + k] = static_cast<std::uint8_t>(value >> (8 * k));
    }
}

// The 76-byte header; see ShellLinkFormat.h for the layout. No ID list and no string data follow.
void CShellLinkWriter::writeHeader(const CShellLink& link) {
    const CFindData& data = link.findData();
    u32(kHeaderSize);
    m_bytes.insert(m_bytes.end(), kLinkClsid.begin(), kLinkClsid.end());
    u32(kHasLinkInfo | kIsUnicode);
    u32(data.attributes);
    u64(static_cast<std::uint64_t>(data.creationTime));
    u64(static_cast<std::uint64_t>(data.accessTime));
    u64(static_cast<std::uint64_t>(data.writeTime));
    u32(static_cast<std::uint32_t>(data.fileSize));
    u32(0);  // IconIndex
    u32(kShowNormal);
    u16(0);  // HotKey
    u16(0);  // Reserved1
    u32(0);  // Reserved2
    u32(0);  // Reserved3
}

// LinkInfo with a header of 0x24 bytes when the path has a UTF-16 form (else 0x1C), then in order the
// VolumeID, LocalBasePath, an empty CommonPathSuffix and, with the long header, the two UTF-16 strings.
void CShellLinkWriter::writeLinkInfo(const CShellLink& link) {
    const std::string& path = link.targetPath();
    const auto unicodePath = utf16OfUtf8(path);
    const std::uint32_t headerSize = unicodePath ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSizeAnsi;
    const std::uint32_t volumeIdSize = kVolumeIdHeaderSize + 1;  // an empty volume label
    const std::uint32_t volumeIdOffset = headerSize;
    const std::uint32_t basePathOffset = volumeIdOffset + volumeIdSize;
    const std::uint32_t suffixOffset = basePathOffset + static_cast<std::uint32_t>(path.size()) + 1;
    const std::uint32_t unicodeBasePathOffset = suffixOffset + 1;
    const std::uint32_t unicodeSuffixOffset =
        unicodePath ? unicodeBasePathOffset + 2 * static_cast<std::uint32_t>(unicodePath->size() + 1) : 0;

    const std::size_t start = m_bytes.size();
    u32(0);  // LinkInfoSize, known at the end
    u32(headerSize);
    u32(kVolumeIdAndLocalBasePath);
    u32(volumeIdOffset);
    u32(basePathOffset);
    u32(0);  // no CommonNetworkRelativeLink
    u32(suffixOffset);
    if (unicodePath) {
        u32(unicodeBasePathOffset);
        u32(unicodeSuffixOffset);
    }
    u32(volumeIdSize);
    u32(kDriveFixed);
    u32(static_cast<std::uint32_t>(link.device()));  // DriveSerialNumber
    u32(kVolumeIdHeaderSize);                        // VolumeLabelOffset
    m_bytes.push_back(0);                            // the empty label
    m_bytes.insert(m_bytes.end(), path.begin(), path.end());
    m_bytes.push_back(0);
    m_bytes.push_back(0);  // CommonPathSuffix ""
    if (unicodePath) {
        for (const std::uint16_t unit : *unicodePath) {
            u16(unit);
        }
        u16(0);
        u16(0);  // CommonPathSuffixUnicode ""
    }
    putU32At(start, static_cast<std::uint32_t>(m_bytes.size() - start));
}

// Our identity block; see ShellLinkFormat.h for the layout. Written when the target's identity is known.
void CShellLinkWriter::writeIdentityBlock(const CShellLink& link) {
    if (link.inode() == 0 && (link.findData().fileSize >> 32) == 0) {
        return;
    }
    u32(kIdentityBlockSize);
    u32(kIdentityBlockSignature);
    u32(kIdentityBlockVersion);
    u32(static_cast<std::uint32_t>(link.findData().fileSize >> 32));
    u64(link.device());
    u64(link.inode());
    u32(0);
}

void CShellLinkWriter::writeTerminalBlock() {
    u32(0);
}
