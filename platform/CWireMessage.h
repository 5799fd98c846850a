#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A message between two processes of ours: a type, a serial number and a payload of 32-bit numbers and
// length-prefixed byte strings. On the wire a 12-byte header comes first: the payload's length (u32), the
// type (u16), a zero (u16) and the serial (u32), all little-endian, then the payload. CWireReader reads
// the payload back field by field.
class CWireMessage final {
public:
    static constexpr std::size_t kHeaderSize = 12;
    // No message of ours comes near this; a header that declares more is refused before anything is read.
    static constexpr std::uint32_t kMaxPayload = 1u << 20;

    CWireMessage() = default;
    explicit CWireMessage(std::uint16_t type, std::uint32_t serial = 0) : m_type(type), m_serial(serial) {}

    std::uint16_t type() const { return m_type; }
    std::uint32_t serial() const { return m_serial; }
    void setSerial(std::uint32_t serial) { m_serial = serial; }
    const std::string& payload() const { return m_payload; }

    CWireMessage& addU32(std::uint32_t value);
    CWireMessage& addI32(std::int32_t value) { return addU32(static_cast<std::uint32_t>(value)); }
    CWireMessage& addBytes(std::string_view bytes);

    // The header and the payload, as sent. False (nothing to send) when the payload is over kMaxPayload.
    bool encode(std::string& wire) const;

    // Parses a header; the error names the field that is wrong. On success `payloadLength` tells how many
    // payload bytes follow, and `message` has the type and serial with an empty payload.
    static std::optional<std::string> decodeHeader(const unsigned char* header, std::uint32_t& payloadLength,
                                                   CWireMessage& message);
    void setPayload(std::string payload) { m_payload = std::move(payload); }

private:
    std::uint16_t m_type = 0;
    std::uint32_t m_serial = 0;
    std::string m_payload;
};
