#include "platform/CInternetShortcut.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string_view trim(std::string_view text) {
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The lines of the text, without their line ends (LF or CR LF).
std::vector<std::string_view> linesOf(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a byte order mark that some editors write
    }
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

// A section header "[name]": its name; nullopt for any other line.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') {
        return std::nullopt;
    }
    return line.substr(1, line.size() - 2);
}

// An entry "key=value" split at its first "=" (both trimmed); false for a line without "=".
bool splitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return false;
    }
    key = trim(line.substr(0, equals));
    value = trim(line.substr(equals + 1));
    return true;
}

std::string unescapeDesktopValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default:
                out += '\\';
                out += value[i];
                break;
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> CInternetShortcut::urlOf(std::string_view text) {
    if (std::optional<std::string> url = internetShortcutUrl(text)) {
        return url;
    }
    return desktopEntryUrl(text);
}

std::optional<std::string> CInternetShortcut::internetShortcutUrl(std::string_view text) {
    bool inSection = false;
    for (std::string_view line : linesOf(text)) {
        if (const std::optional<std::string_view> name = sectionName(line)) {
            inSection = equalsNoCase(*name, "InternetShortcut");
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (inSection && splitEntry(line, key, value) && equalsNoCase(key, "URL") && !value.empty()) {
            return std::string(value);
        }
    }
    return std::nullopt;
}

std::optional<std::string> CInternetShortcut::desktopEntryUrl(std::string_view text) {
    bool inGroup = false;
    bool isLink = false;
    std::string url;
    for (std::string_view line : linesOf(text)) {
        if (const std::optional<std::string_view> name = sectionName(line)) {
            inGroup = *name == "Desktop Entry";
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (!inGroup || trim(line).starts_with('#') || !splitEntry(line, key, value)) {
            continue;
        }
        if (key == "Type") {
            isLink = value == "Link";
        } else if (key == "URL") {
            url = unescapeDesktopValue(value);
        }
    }
    if (!isLink || url.empty()) {
        return std::nullopt;
    }
    return url;
}
