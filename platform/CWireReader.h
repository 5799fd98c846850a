#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/CWireMessage.h"

// Reads a message's payload field by field, in the order it was written. The first field that runs past
// the end of the payload or over its bound records an error naming the field and its byte offset; from
// then on every read gives zero or an empty string, so a reader checks error() once, after the last field.
class CWireReader final {
public:
    explicit CWireReader(const CWireMessage& message) : m_payload(message.payload()), m_type(message.type()) {}

    std::uint32_t u32(const char* field);
    std::int32_t i32(const char* field) { return static_cast<std::int32_t>(u32(field)); }
    // A byte string of at most `maxLength` bytes.
    std::string bytes(const char* field, std::size_t maxLength);
    // A text that holds no zero byte (a file name or a message), of at most `maxLength` bytes.
    std::string text(const char* field, std::size_t maxLength);
    // A number that must lie in [low, high].
    std::int64_t number(const char* field, std::int64_t low, std::int64_t high);
    // Records an error for payload bytes left unread, so that a message longer than its type allows is refused.
    void finish();
    // Records an error of the caller's own at the current offset (a value that breaks a rule between fields).
    void fail(const std::string& what);

    const std::optional<std::string>& error() const { return m_error; }
    std::size_t offset() const { return m_offset; }

private:
    bool take(const char* field, std::size_t size);

    const std::string& m_payload;
    std::uint16_t m_type;
    std::size_t m_offset = 0;
    std::optional<std::string> m_error;
};
