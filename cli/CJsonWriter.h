#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Builds JSON text: objects, arrays, strings and numbers, with the commas in their places. Strings are
// UTF-8; a byte that forms no UTF-8 character is written as the escape \udcXX, so nothing is lost and
// the output stays valid JSON.
class CJsonWriter final {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The key of the next member of the current object.
    void key(std::string_view name);

    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void value(std::int64_t number);
    void value(int number) { value(static_cast<std::int64_t>(number)); }
    void value(std::uint64_t number);
    void value(bool flag);
    void stringArray(const std::vector<std::string>& strings);

    const std::string& text() const { return m_text; }

private:
    void beforeValue();
    void appendString(std::string_view text);

    std::string m_text;
    std::vector<bool> m_hasMembers;  // per open object or array
    bool m_afterKey = false;
};
