#pragma once

// Constants of the Shell Link binary format (.lnk files). Every integer is little-endian; every offset
// inside a structure counts from the structure's first byte. A file is, in this order:
//   ShellLinkHeader, [LinkTargetIDList], [LinkInfo], [StringData...], ExtraData blocks, TerminalBlock.

#include <array>
#include <cstdint>

namespace ShellLinkFormat {

// ShellLinkHeader, 76 bytes:
//   0x00 HeaderSize     u32   always 0x4C
//   0x04 LinkCLSID      16    00021401-0000-0000-C000-000000000046 in GUID byte order
//   0x14 LinkFlags      u32   kHas* bits below
//   0x18 FileAttributes u32   FILE_ATTRIBUTE_* of the target
//   0x1C CreationTime   u64   FILETIME: 100 ns units since 1601-01-01 UTC
//   0x24 AccessTime     u64
//   0x2C WriteTime      u64
//   0x34 FileSize       u32   low 32 bits of the target's size
//   0x38 IconIndex      i32
//   0x3C ShowCommand    u32   kShowNormal
//   0x40 HotKey         u16
//   0x42 Reserved       2 + 4 + 4 bytes, zero
constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                     0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kClsidOffset = 0x04;
constexpr std::uint32_t kLinkFlagsOffset = 0x14;
constexpr std::uint32_t kFileAttributesOffset = 0x18;
constexpr std::uint32_t kCreationTimeOffset = 0x1C;
constexpr std::uint32_t kAccessTimeOffset = 0x24;
constexpr std::uint32_t kWriteTimeOffset = 0x2C;
constexpr std::uint32_t kFileSizeOffset = 0x34;
constexpr std::uint32_t kIconIndexOffset = 0x38;
constexpr std::uint32_t kShowCommandOffset = 0x3C;
constexpr std::uint32_t kShowNormal = 1;

// LinkFlags bits.
constexpr std::uint32_t kHasLinkTargetIdList = 0x00000001;
constexpr std::uint32_t kHasLinkInfo = 0x00000002;
constexpr std::uint32_t kHasName = 0x00000004;
constexpr std::uint32_t kHasRelativePath = 0x00000008;
constexpr std::uint32_t kHasWorkingDir = 0x00000010;
constexpr std::uint32_t kHasArguments = 0x00000020;
constexpr std::uint32_t kHasIconLocation = 0x00000040;
constexpr std::uint32_t kIsUnicode = 0x00000080;
constexpr std::uint32_t kForceNoLinkInfo = 0x00000100;

// FileAttributes bits used on this platform.
constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeHidden = 0x02;
constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;

// LinkTargetIDList: IDListSize u16, then IDListSize bytes of item IDs (skipped when reading).

// LinkInfo:
//   0x00 LinkInfoSize                     u32   the whole structure, strings included
//   0x04 LinkInfoHeaderSize               u32   0x1C, or >= 0x24 when the two Unicode offsets follow
//   0x08 LinkInfoFlags                    u32   kVolumeIdAndLocalBasePath, kCommonNetworkRelativeLink
//   0x0C VolumeIDOffset                   u32
//   0x10 LocalBasePathOffset              u32   NUL-terminated string in the system code page
//   0x14 CommonNetworkRelativeLinkOffset  u32
//   0x18 CommonPathSuffixOffset           u32   NUL-terminated, appended to the base path
//   0x1C LocalBasePathOffsetUnicode       u32   (header >= 0x24) NUL-terminated UTF-16LE
//   0x20 CommonPathSuffixOffsetUnicode    u32   (header >= 0x24) NUL-terminated UTF-16LE
constexpr std::uint32_t kLinkInfoHeaderSizeAnsi = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeUnicode = 0x24;
constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLink = 0x2;

// VolumeID:
//   0x00 VolumeIDSize u32 (> 0x10)   0x04 DriveType u32   0x08 DriveSerialNumber u32
//   0x0C VolumeLabelOffset u32; 0x14 means a VolumeLabelOffsetUnicode u32 follows at 0x10
//   then the NUL-terminated volume label
constexpr std::uint32_t kVolumeIdHeaderSize = 0x10;
constexpr std::uint32_t kDriveFixed = 3;

// CommonNetworkRelativeLink:
//   0x00 Size u32 (>= 0x14)   0x04 Flags u32   0x08 NetNameOffset u32   0x0C DeviceNameOffset u32
//   0x10 NetworkProviderType u32   [0x14 NetNameOffsetUnicode u32, 0x18 DeviceNameOffsetUnicode u32
//   when NetNameOffset > 0x14]   then the NUL-terminated net name
constexpr std::uint32_t kNetworkLinkMinimumSize = 0x14;

// StringData, in this order and each only when its flag is set: NAME_STRING (kHasName), RELATIVE_PATH,
// WORKING_DIR, COMMAND_LINE_ARGUMENTS, ICON_LOCATION. Each is CountCharacters u16 followed by that many
// characters: UTF-16LE units when kIsUnicode is set, otherwise bytes. Not NUL-terminated.

// ExtraData: blocks of BlockSize u32 (including itself), BlockSignature u32, data; the list ends with a
// TerminalBlock, a u32 less than 4. Readers skip blocks whose signature they do not know.
constexpr std::uint32_t kTerminalBlockLimit = 4;
constexpr std::uint32_t kExtraBlockMinimumSize = 8;

// Our own identity block, which other readers skip as an unknown block:
//   0x00 BlockSize u32 (0x24)   0x04 BlockSignature u32 ("QLRY")   0x08 Version u32 (1)
//   0x0C FileSizeHigh u32 (high 32 bits of the target's size, the header holds the low ones)
//   0x10 Device u64 (st_dev of the target's file system)   0x18 Inode u64   0x20 Reserved u32
constexpr std::uint32_t kIdentityBlockSize = 0x24;
constexpr std::uint32_t kIdentityBlockSignature = 0x59524C51;  // "QLRY" as little-endian bytes
constexpr std::uint32_t kIdentityBlockVersion = 1;

// A link file is small; anything larger is not read into memory.
constexpr std::uint64_t kMaximumLinkFileSize = 16 * 1024 * 1024;

}  // namespace ShellLinkFormat
