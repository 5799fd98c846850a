#include "cli/CJsonWriter.h"

#include <cstdio>

#include "text/Cp932.h"

void CJsonWriter::beforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasMembers.empty()) {
        if (m_hasMembers.back())
            m_text += ',';
        m_hasMembers.back() = true;
    }
}

void CJsonWriter::beginObject() {
    beforeValue();
    m_text += '{';
    m_hasMembers.push_back(false);
}

void CJsonWriter::endObject() {
    m_hasMembers.pop_back();
    m_text += '}';
}

void CJsonWriter::beginArray() {
    beforeValue();
    m_text += '[';
    m_hasMembers.push_back(false);
}

void CJsonWriter::endArray() {
    m_hasMembers.pop_back();
    m_text += ']';
}

void CJsonWriter::key(std::string_view name) {
    beforeValue();
    appendString(name);
    m_text += ':';
    m_afterKey = true;
}

void CJsonWriter::value(std::string_view text) {
    beforeValue();
    appendString(text);
}

void CJsonWriter::value(std::int64_t number) {
    beforeValue();
    m_text += std::to_string(number);
}

void CJsonWriter::value(std::uint64_t number) {
    beforeValue();
    m_text += std::to_string(number);
}

void CJsonWriter::value(bool flag) {
    beforeValue();
    m_text += flag ? "true" : "false";
}

void CJsonWriter::stringArray(const std::vector<std::string>& strings) {
    beginArray();
    for (const std::string& s : strings)
        value(s);
    endArray();
}

void CJsonWriter::appendString(std::string_view text) {
    m_text += '"';
    for (std::size_t pos = 0; pos < text.size();) {
        jtext::Utf8Char c = jtext::decodeUtf8(text, pos);
        char32_t cp = c.codePoint;
        if (c.length > 1) {
            m_text.append(text.substr(pos, c.length));
        } else if (cp == '"' || cp == '\\') {
            m_text += '\\';
            m_text += static_cast<char>(cp);
        } else if (cp == '\n') {
            m_text += "\\n";
        } else if (cp == '\t') {
            m_text += "\\t";
        } else if (cp == '\r') {
            m_text += "\\r";
        } else if (cp < 0x20 || cp > 0x7F) {
            // Control characters, and single bytes outside any character (decoded as U+DC00 + byte).
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(cp));
            m_text += escape;
        } else {
            m_text += static_cast<char>(cp);
        }
        pos += c.length;
    }
    m_text += '"';
}
