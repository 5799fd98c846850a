#include "platform/CWireMessage.h"

namespace {

void putU32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

std::uint32_t getU32(const unsigned char* in) {
    return std::uint32_t{in[0]} | std::uint32_t{in[1]} << 8 | std::uint32_t{in[2]} << 16 | std::uint32_t{in[3]} << 24;
}

}  // namespace

CWireMessage& CWireMessage::addU32(std::uint32_t value) {
    putU32(m_payload, value);
    return *this;
}

CWireMessage& CWireMessage::addBytes(std::string_view bytes) {
    putU32(m_payload, static_cast<std::uint32_t>(bytes.size()));
    m_payload.append(bytes);
    return *this;
}

bool CWireMessage::encode(std::string& wire) const {
    wire.clear();
    if (m_payload.size() > kMaxPayload)
        return false;
    wire.reserve(kHeaderSize + m_payload.size());
    putU32(wire, static_cast<std::uint32_t>(m_payload.size()));
    wire.push_back(static_cast<char>(m_type & 0xFF));
    wire.push_back(static_cast<char>(m_type >> 8));
    wire.append(2, '\0');
    putU32(wire, m_serial);
    wire.append(m_payload);
    return true;
}

std::optional<std::string> CWireMessage::decodeHeader(const unsigned char* header, std::uint32_t& payloadLength,
                                                      CWireMessage& message) {
    payloadLength = getU32(header);
    if (payloadLength > kMaxPayload)
        return "at byte 0 of a message header: payload length " + std::to_string(payloadLength) + ", at most " +
               std::to_string(kMaxPayload);
    if (header[6] != 0 || header[7] != 0)
        return std::string("at byte 6 of a message header: reserved field not zero");
    message = CWireMessage(static_cast<std::uint16_t>(header[4] | header[5] << 8), getU32(header + 8));
    return std::nullopt;
}
