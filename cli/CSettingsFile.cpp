#include "cli/CSettingsFile.h"

#include <cstdlib>
#include <fstream>

namespace {

std::string trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A value as the settings store writes it: plain, or in double quotes with backslash escapes.
std::string unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return value;
    std::string out;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 2 < value.size()) {
            char next = value[++i];
            out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
        } else {
            out += c;
        }
    }
    return out;
}

bool isWholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 9)
        return false;
    std::size_t start = text[0] == '-' ? 1 : 0;
    if (start == text.size())
        return false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

}  // namespace

std::string CSettingsFile::defaultPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home != nullptr ? home : "") + "/.config";
    }
    return folder + "/Vemto/Quillory.conf";
}

void CSettingsFile::load(const std::string& path, CMemoryProfile& profile) {
    std::ifstream in(path);
    std::string line;
    std::string section = "General";
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string entry = trimmed(line.substr(0, equals));
        std::string value = unquoted(trimmed(line.substr(equals + 1)));
        profile.writeString(section, entry, value);
        if (isWholeNumber(value))
            profile.writeInt(section, entry, std::stoi(value));
    }
}
