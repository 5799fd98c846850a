#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CShellLink.h"

// Parses the bytes of a shell link file. Every field is read through a bounds check, so a truncated or
// damaged file ends in an error that names the field and its byte offset; sizes read from the file are
// checked against the bytes that are there before anything is skipped or copied.
class CShellLinkReader final {
public:
    // linkPath names the file the bytes came from: it goes into errors and anchors a relative target.
    CShellLinkReader(const std::vector<std::uint8_t>& bytes, std::string linkPath);

    // The link the bytes hold, or nullopt with the error filled in (when error is not null).
    std::optional<CShellLink> read(CShellLinkError* error);

private:
    bool readHeader();
    bool skipTargetIdList();
    bool readLinkInfo();
    bool readVolumeId(std::uint64_t offset, std::uint64_t end);
    bool readNetworkLink(std::uint64_t offset, std::uint64_t end);
    bool readStringData();
    bool readExtraData();
    void readIdentityBlock(std::uint64_t offset, std::uint32_t size);
    bool assembleTargetPath();

    bool fail(std::uint64_t offset, const std::string& what);
    bool need(std::uint64_t offset, std::uint64_t count, std::uint64_t end, const char* field);
    std::uint16_t u16At(std::uint64_t offset) const;
    std::uint32_t u32At(std::uint64_t offset) const;
    std::uint64_t u64At(std::uint64_t offset) const;
    bool readU32(std::uint64_t offset, std::uint64_t end, const char* field, std::uint32_t& value);
    std::optional<std::uint64_t> pointee(std::uint64_t structure, std::uint64_t field, std::uint64_t end,
                                         const char* name);
    std::optional<std::string> ansiStringAt(std::uint64_t offset, std::uint64_t end, const char* field);
    std::optional<std::string> unicodeStringAt(std::uint64_t offset, std::uint64_t end, const char* field);

    const std::vector<std::uint8_t>& m_bytes;
    std::string m_linkPath;
    CShellLinkError m_error;
    std::uint64_t m_position = 0;
    std::uint32_t m_linkFlags = 0;
    CFindData m_findData;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::optional<std::string> m_localBasePath;
    std::optional<std::string> m_localBasePathUnicode;
    std::optional<std::string> m_pathSuffix;
    std::optional<std::string> m_pathSuffixUnicode;
    std::optional<std::string> m_netName;
    std::optional<std::string> m_relativePath;
    std::string m_targetPath;
};
