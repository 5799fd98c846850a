#pragma once

#include <optional>
#include <string>
#include <string_view>

// Reads the address that a favourite points to. Two kinds of file hold one:
// - an internet shortcut (".url"): an INI file whose section "[InternetShortcut]" has the entry "URL=";
//   section and key names compare without regard to case, as Windows' INI reader does;
// - a desktop entry (".desktop") of "Type=Link": the entry "URL=" of the group "[Desktop Entry]", keys
//   compared exactly and the value unescaped (\s \n \t \r \\) as the desktop entry format says.
// Text only: the caller reads the file.
class CInternetShortcut final {
public:
    // The address in the file's text; nullopt when it holds none (no such section or entry, an empty
    // value, or a desktop entry of another type).
    static std::optional<std::string> urlOf(std::string_view text);

private:
    static std::optional<std::string> internetShortcutUrl(std::string_view text);
    static std::optional<std::string> desktopEntryUrl(std::string_view text);
};
