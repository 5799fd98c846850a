#pragma once

// A list of file extensions (without the dot) kept in the settings as "Count" and "Ext00", "Ext01", ...
// The application holds two: the extensions the preview leaves alone ("NoPreview") and the extensions read
// as text ("TextFile"), which the text-file content search of the filters and the item search uses too.

#include <string>
#include <string_view>
#include <vector>

class CProfile;

class CExtArray final {
public:
    CExtArray() = default;
    explicit CExtArray(std::vector<std::string> extensions) : m_extensions(std::move(extensions)) {}

    // Appends "Ext%02d" for 0 .. Count-1 of the section to the list.
    void load(const CProfile& profile, std::string_view section);
    // Writes "Count" and every element under "Ext%02d".
    void save(CProfile& profile, std::string_view section) const;
    // True when an element equals the extension, ignoring case.
    bool contains(std::string_view extension) const;

    const std::vector<std::string>& extensions() const { return m_extensions; }
    std::vector<std::string>& extensions() { return m_extensions; }
    int count() const { return static_cast<int>(m_extensions.size()); }
    void add(std::string_view extension) { m_extensions.emplace_back(extension); }
    void clear() { m_extensions.clear(); }

    static constexpr std::string_view kNoPreviewSection = "NoPreview";
    static constexpr std::string_view kTextFileSection = "TextFile";

    // The text-file extensions of the running program ("txt", "htm", "html" until loaded).
    static CExtArray& textFiles();
    // Loads the text-file list from its section, falling back to "txt", "htm", "html" when it is empty.
    static void loadTextFiles(const CProfile& profile);
    static void saveTextFiles(CProfile& profile);

private:
    std::vector<std::string> m_extensions;
};
