#pragma once

#include <cstdint>
#include <vector>

#include "platform/CShellLink.h"

// Builds the bytes of a shell link file: the header with the target's find data, a LinkInfo whose local
// base path is the target path (in UTF-8 as the system code page, and in UTF-16 so that any reader gets
// non-ASCII paths right), and our identity block carrying the device, the inode and the size's high bits.
class CShellLinkWriter final {
public:
    static std::vector<std::uint8_t> bytesOf(const CShellLink& link);

private:
    explicit CShellLinkWriter(std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    void writeHeader(const CShellLink& link);
    void writeLinkInfo(const CShellLink& link);
    void writeIdentityBlock(const CShellLink& link);
    void writeTerminalBlock();

    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void u64(std::uint64_t value);
    void putU32At(std::size_t offset, std::uint32_t value);

    std::vector<std::uint8_t>& m_bytes;
};
