#pragma once

// Constants of the session files of Chromium-family browsers (Sessions/Session_*). Every integer is
// little-endian. A file is a header followed by an append-only log of commands; the browser state is what
// replaying every command in order leaves (the last write wins). A crash or a write in progress can leave a
// half-written command at the end.
//   Header, 8 bytes:  0 signature u32 "SNSS"   4 version i32
//   Command:          0 size u16 (id byte + payload)   2 id u8   3 payload (size - 1 bytes)
// Payloads are fixed structures of 32-bit fields, or a pickle: a u32 payload size, then fields aligned
// to 4 bytes; a string is an i32 byte count and the bytes, a UTF-16 string an i32 unit count and the units.

#include <cstdint>

namespace SnssFormat {

constexpr std::uint32_t kSignature = 0x53534E53;  // "SNSS"
constexpr std::uint32_t kHeaderSize = 8;
constexpr std::int32_t kVersionPlain = 1;
constexpr std::int32_t kVersionPlainWithMarker = 3;  // plain commands, with an initial-state marker
// Every other version (2, 4, 5 and later) holds encrypted commands that only the browser can read.

constexpr std::uint32_t kCommandSizeBytes = 2;

// Command ids and their payloads (window and tab ids are i32 session ids).
constexpr std::uint8_t kSetTabWindow = 0;                     // window id, tab id
constexpr std::uint8_t kSetTabIndexInWindow = 2;              // tab id, visual index
constexpr std::uint8_t kTabNavigationPathPrunedFromBack = 5;  // tab id, count kept
constexpr std::uint8_t kUpdateTabNavigation = 6;              // pickle: tab id, index, url, title, ...
constexpr std::uint8_t kSetSelectedNavigationIndex = 7;       // tab id, navigation index
constexpr std::uint8_t kSetSelectedTabInIndex = 8;            // window id, visual index
constexpr std::uint8_t kTabNavigationPathPrunedFromFront = 11;  // tab id, count removed
constexpr std::uint8_t kTabClosed = 16;                       // tab id, (padding), close time i64
constexpr std::uint8_t kWindowClosed = 17;                    // window id, (padding), close time i64
constexpr std::uint8_t kSetActiveWindow = 20;                 // window id
constexpr std::uint8_t kTabNavigationPathPruned = 24;         // tab id, first index, count
constexpr std::uint8_t kInitialStateMarker = 255;             // no payload

}  // namespace SnssFormat
