#include "platform/CShellLinkReader.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/ShellLinkFormat.h"

using namespace ShellLinkFormat;

namespace {

void appendUtf8(std::string& text, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        text += static_cast<char>(0xC0 | (codePoint >> 6));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        text += static_cast<char>(0xE0 | (codePoint >> 12));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (codePoint >> 18));
        text += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

// UTF-8 of UTF-16 units; an unpaired surrogate becomes U+FFFD.
std::string utf8OfUtf16(const std::vector<std::uint16_t>& units) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            appendUtf8(text, kReplacement);
        } else {
            appendUtf8(text, unit);
        }
    }
    return text;
}

std::string hex(std::uint64_t value) {
    static const char* const kDigits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return "0x" + text;
}

}  // namespace

CShellLinkReader::CShellLinkReader(const std::vector<std::uint8_t>& bytes, std::string linkPath)
    : m_bytes(bytes), m_linkPath(std::move(linkPath)) {}

std::optional<CShellLink> CShellLinkReader::read(CShellLinkError* error) {
    const bool ok = readHeader() && skipTargetIdList() && readLinkInfo() && readStringData() &&
                    readExtraData() && assembleTargetPath();
    if (!ok) {
        if (error != nullptr) {
            *error = m_error;
        }
        return std::nullopt;
    }
    CShellLink link;
    link.setTargetPath(m_targetPath);
    link.setFindData(m_findData);
    link.setFileIdentity(m_device, m_inode);
    return link;
}

bool CShellLinkReader::fail(std::uint64_t offset, const std::string& what) {
    m_error = {what, m_linkPath, static_cast<std::int64_t>(offset)};
    return false;
}

// True when count bytes from offset lie before end (and inside the file); otherwise fails naming field.
bool CShellLinkReader::need(std::uint64_t offset, std::uint64_t count, std::uint64_t end, const char* field) {
    end = std::min<std::uint64_t>(end, m_bytes.size());
    if (offset > end || count > end - offset) {
        const bool pastFile = end == m_bytes.size();
        return fail(offset, std::string(pastFile ? "truncated shell link: " : "damaged shell link: ") +
                                field + " needs " + std::to_string(count) + " bytes at offset " +
                                std::to_string(offset));
    }
    return true;
}

std::uint16_t CShellLinkReader::u16At(std::uint64_t offset) const {
    return static_cast<std::uint16_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
}

std::uint32_t CShellLinkReader::u32At(std::uint64_t offset) const {
    return static_cast<std::uint32_t>(u16At(offset)) | (static_cast<std::uint32_t>(u16At(offset + 2)) << 16);
}

std::uint64_t CShellLinkReader::u64At(std::uint64_t offset) const {
    return static_cast<std::uint64_t>(u32At(offset)) | (static_cast<std::uint64_t>(u32At(offset + 4)) << 32);
}

bool CShellLinkReader::readU32(std::uint64_t offset, std::uint64_t end, const char* field,
                               std::uint32_t& value) {
    if (!need(offset, 4, end, field)) {
        return false;
    }
    value = u32At(offset);
    return true;
}

// Where the u32 at structure + field points, counted from the structure's start; fails at the field when
// that lies outside the structure (which ends at end).
std::optional<std::uint64_t> CShellLinkReader::pointee(std::uint64_t structure, std::uint64_t field,
                                                       std::uint64_t end, const char* name) {
    const std::uint64_t target = structure + u32At(structure + field);
    if (target >= end) {
        fail(structure + field, std::string("damaged shell link: ") + name + " at offset " +
                                    std::to_string(structure + field) + " points past its structure");
        return std::nullopt;
    }
    return target;
}

// A NUL-terminated byte string that starts at offset and ends (with its NUL) before end.
std::optional<std::string> CShellLinkReader::ansiStringAt(std::uint64_t offset, std::uint64_t end,
                                                          const char* field) {
    end = std::min<std::uint64_t>(end, m_bytes.size());
    if (offset >= end) {
        fail(offset, std::string("damaged shell link: ") + field + " starts past its structure at offset " +
                         std::to_string(offset));
        return std::nullopt;
    }
    const auto first = m_bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto last = m_bytes.begin() + static_cast<std::ptrdiff_t>(end);
    const auto nul = std::find(first, last, std::uint8_t{0});
    if (nul == last) {
        fail(offset, std::string("damaged shell link: ") + field + " at offset " + std::to_string(offset) +
                         " has no terminating NUL");
        return std::nullopt;
    }
    return std::string(first, nul);
}

// A NUL-terminated UTF-16LE string that starts at offset and ends (with its NUL) before end, as UTF-8.
std::optional<std::string> CShellLinkReader::unicodeStringAt(std::uint64_t offset, std::uint64_t end,
                                                             const char* field) {
    end = std::min<std::uint64_t>(end, m_bytes.size());
    std::vector<std::uint16_t> units;
    for (std::uint64_t at = offset; at + 2 <= end; at += 2) {
        const std::uint16_t unit = u16At(at);
        if (unit == 0) {
            return utf8OfUtf16(units);
        }
        units.push_back(unit);
    }
    fail(offset, std::string("damaged shell link: ") + field + " at offset " + std::to_string(offset) +
                     " has no terminating NUL");
    return std::nullopt;
}

bool CShellLinkReader::readHeader() {
    if (!need(0, kHeaderSize, m_bytes.size(), "ShellLinkHeader")) {
        return false;
    }
    if (u32At(0) != kHeaderSize) {
        return fail(0, "not a shell link: header size " + hex(u32At(0)) + " instead of 0x4C");
    }
    if (!std::equal(kLinkClsid.begin(), kLinkClsid.end(), m_bytes.begin() + kClsidOffset)) {
        return fail(kClsidOffset, "not a shell link: wrong LinkCLSID");
    }
    m_linkFlags = u32At(kLinkFlagsOffset);
    m_findData.attributes = u32At(kFileAttributesOffset);
    m_findData.creationTime = static_cast<std::int64_t>(u64At(kCreationTimeOffset));
    m_findData.accessTime = static_cast<std::int64_t>(u64At(kAccessTimeOffset));
    m_findData.writeTime = static_cast<std::int64_t>(u64At(kWriteTimeOffset));
    m_findData.fileSize = u32At(kFileSizeOffset);
    m_position = kHeaderSize;
    return true;
}

// LinkTargetIDList: IDListSize u16, then that many bytes, which this platform has no use for.
bool CShellLinkReader::skipTargetIdList() {
    if ((m_linkFlags & kHasLinkTargetIdList) == 0) {
        return true;
    }
    if (!need(m_position, 2, m_bytes.size(), "IDListSize")) {
        return false;
    }
    const std::uint16_t size = u16At(m_position);
    if (!need(m_position + 2, size, m_bytes.size(), "LinkTargetIDList")) {
        return false;
    }
    m_position += 2 + size;
    return true;
}

bool CShellLinkReader::readLinkInfo() {
    if ((m_linkFlags & kHasLinkInfo) == 0) {
        return true;
    }
    const std::uint64_t start = m_position;
    std::uint32_t size = 0;
    std::uint32_t headerSize = 0;
    if (!readU32(start, m_bytes.size(), "LinkInfoSize", size)) {
        return false;
    }
    if (size < kLinkInfoHeaderSizeAnsi) {
        return fail(start, "damaged shell link: LinkInfoSize " + std::to_string(size) + " is too small");
    }
    if (!need(start, size, m_bytes.size(), "LinkInfo")) {
        return false;
    }
    const std::uint64_t end = start + size;
    headerSize = u32At(start + 0x04);
    if (headerSize != kLinkInfoHeaderSizeAnsi &&
        (headerSize < kLinkInfoHeaderSizeUnicode || headerSize > size)) {
        return fail(start + 0x04, "damaged shell link: LinkInfoHeaderSize " + hex(headerSize));
    }
    const std::uint32_t flags = u32At(start + 0x08);
    const bool hasUnicodeOffsets = headerSize >= kLinkInfoHeaderSizeUnicode;
    if ((flags & kVolumeIdAndLocalBasePath) != 0) {
        const auto volumeId = pointee(start, 0x0C, end, "VolumeIDOffset");
        if (!volumeId || !readVolumeId(*volumeId, end)) {
            return false;
        }
        const auto basePath = pointee(start, 0x10, end, "LocalBasePathOffset");
        m_localBasePath = basePath ? ansiStringAt(*basePath, end, "LocalBasePath") : std::nullopt;
        if (!m_localBasePath) {
            return false;
        }
        if (hasUnicodeOffsets && u32At(start + 0x1C) != 0) {
            const auto unicodePath = pointee(start, 0x1C, end, "LocalBasePathOffsetUnicode");
            m_localBasePathUnicode =
                unicodePath ? unicodeStringAt(*unicodePath, end, "LocalBasePathUnicode") : std::nullopt;
            if (!m_localBasePathUnicode) {
                return false;
            }
        }
    }
    if ((flags & kCommonNetworkRelativeLink) != 0) {
        const auto networkLink = pointee(start, 0x14, end, "CommonNetworkRelativeLinkOffset");
        if (!networkLink || !readNetworkLink(*networkLink, end)) {
            return false;
        }
    }
    if (u32At(start + 0x18) != 0) {
        const auto suffix = pointee(start, 0x18, end, "CommonPathSuffixOffset");
        m_pathSuffix = suffix ? ansiStringAt(*suffix, end, "CommonPathSuffix") : std::nullopt;
        if (!m_pathSuffix) {
            return false;
        }
    }
    if (hasUnicodeOffsets && u32At(start + 0x20) != 0) {
        const auto suffix = pointee(start, 0x20, end, "CommonPathSuffixOffsetUnicode");
        m_pathSuffixUnicode =
            suffix ? unicodeStringAt(*suffix, end, "CommonPathSuffixUnicode") : std::nullopt;
        if (!m_pathSuffixUnicode) {
            return false;
        }
    }
    m_position = end;
    if ((m_linkFlags & kForceNoLinkInfo) != 0) {
        m_localBasePath = m_localBasePathUnicode = m_pathSuffix = m_pathSuffixUnicode = m_netName =
            std::nullopt;
    }
    return true;
}

// VolumeID: only checked to lie inside LinkInfo; the drive type and serial number mean nothing here.
bool CShellLinkReader::readVolumeId(std::uint64_t offset, std::uint64_t end) {
    std::uint32_t size = 0;
    if (!readU32(offset, end, "VolumeIDSize", size)) {
        return false;
    }
    if (size <= kVolumeIdHeaderSize) {
        return fail(offset, "damaged shell link: VolumeIDSize " + std::to_string(size) + " is too small");
    }
    return need(offset, size, end, "VolumeID");
}

// CommonNetworkRelativeLink: the net name (\\server\share) is the base of a network target.
bool CShellLinkReader::readNetworkLink(std::uint64_t offset, std::uint64_t end) {
    std::uint32_t size = 0;
    if (!readU32(offset, end, "CommonNetworkRelativeLinkSize", size)) {
        return false;
    }
    if (size < kNetworkLinkMinimumSize) {
        return fail(offset, "damaged shell link: CommonNetworkRelativeLinkSize " + std::to_string(size) +
                                " is too small");
    }
    if (!need(offset, size, end, "CommonNetworkRelativeLink")) {
        return false;
    }
    const std::uint64_t linkEnd = offset + size;
    const auto netName = pointee(offset, 0x08, linkEnd, "NetNameOffset");
    m_netName = netName ? ansiStringAt(*netName, linkEnd, "NetName") : std::nullopt;
    if (!m_netName) {
        return false;
    }
    if (*netName - offset > kNetworkLinkMinimumSize && size >= kNetworkLinkMinimumSize + 4 &&
        u32At(offset + 0x14) != 0) {
        const auto unicodeName = pointee(offset, 0x14, linkEnd, "NetNameOffsetUnicode");
        m_netName = unicodeName ? unicodeStringAt(*unicodeName, linkEnd, "NetNameUnicode") : std::nullopt;
    }
    return m_netName.has_value();
}

// StringData: each present string is CountCharacters u16 and that many characters. Only the relative
// path is kept (it locates the target when there is no LinkInfo); the others are skipped.
bool CShellLinkReader::readStringData() {
    static const std::pair<std::uint32_t, const char*> kStrings[] = {
        {kHasName, "NAME_STRING"},           {kHasRelativePath, "RELATIVE_PATH"},
        {kHasWorkingDir, "WORKING_DIR"},     {kHasArguments, "COMMAND_LINE_ARGUMENTS"},
        {kHasIconLocation, "ICON_LOCATION"},
    };
    const std::uint64_t unitSize = (m_linkFlags & kIsUnicode) != 0 ? 2 : 1;
    for (const auto& [flag, field] : kStrings) {
        if ((m_linkFlags & flag) == 0) {
            continue;
        }
        if (!need(m_position, 2, m_bytes.size(), field)) {
            return false;
        }
        const std::uint64_t count = u16At(m_position);
        const std::uint64_t textStart = m_position + 2;
        if (!need(textStart, count * unitSize, m_bytes.size(), field)) {
            return false;
        }
        if (flag == kHasRelativePath) {
            if (unitSize == 2) {
                std::vector<std::uint16_t> units;
                for (std::uint64_t i = 0; i < count; ++i) {
                    units.push_back(u16At(textStart + 2 * i));
                }
                m_relativePath = utf8OfUtf16(units);
            } else {
                m_relativePath =
                    std::string(m_bytes.begin() + static_cast<std::ptrdiff_t>(textStart),
                                m_bytes.begin() + static_cast<std::ptrdiff_t>(textStart + count));
            }
        }
        m_position = textStart + count * unitSize;
    }
    return true;
}

// ExtraData: blocks up to the terminal block; only our identity block is read, others are skipped.
bool CShellLinkReader::readExtraData() {
    while (true) {
        std::uint32_t size = 0;
        if (!readU32(m_position, m_bytes.size(), "ExtraData BlockSize", size)) {
            return false;
        }
        if (size < kTerminalBlockLimit) {
            m_position += 4;
            return true;
        }
        if (size < kExtraBlockMinimumSize) {
            return fail(m_position, "damaged shell link: extra data BlockSize " + std::to_string(size));
        }
        if (!need(m_position, size, m_bytes.size(), "ExtraData block")) {
            return false;
        }
        if (u32At(m_position + 4) == kIdentityBlockSignature) {
            readIdentityBlock(m_position, size);
        }
        m_position += size;
    }
}

void CShellLinkReader::readIdentityBlock(std::uint64_t offset, std::uint32_t size) {
    if (size < kIdentityBlockSize || u32At(offset + 0x08) < kIdentityBlockVersion) {
        return;
    }
    m_findData.fileSize |= static_cast<std::uint64_t>(u32At(offset + 0x0C)) << 32;
    m_device = u64At(offset + 0x10);
    m_inode = u64At(offset + 0x18);
}

// The target: the local base path (Unicode preferred) plus the common suffix; else the network share
// plus the suffix; else the relative path taken from the link's own folder.
bool CShellLinkReader::assembleTargetPath() {
    const std::string suffix = m_pathSuffixUnicode.value_or(m_pathSuffix.value_or(""));
    if (m_localBasePathUnicode && !m_localBasePathUnicode->empty()) {
        m_targetPath = *m_localBasePathUnicode + suffix;
    } else if (m_localBasePath && !m_localBasePath->empty()) {
        m_targetPath = *m_localBasePath + m_pathSuffix.value_or("");
    } else if (m_netName && !m_netName->empty()) {
        m_targetPath = suffix.empty() ? *m_netName : *m_netName + "\\" + suffix;
    } else if (m_relativePath && !m_relativePath->empty()) {
        std::string relative = *m_relativePath;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        const std::filesystem::path folder = std::filesystem::path(m_linkPath).parent_path();
        m_targetPath = (folder / relative).lexically_normal().string();
    } else {
        return fail(kLinkFlagsOffset, "shell link names no target that can be located");
    }
    return true;
}
