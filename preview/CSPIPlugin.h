#pragma once

#include <string>
#include <vector>

// An image plug-in as the program knows it: where it is, its kind and the file patterns it declares. The
// module itself is loaded only in the helper process, which answers the plug-in calls.
class CSPIPlugin final {
public:
    CSPIPlugin(std::string path, std::string fileName, int kind, std::vector<std::string> patterns,
               std::vector<std::string> descriptions)
        : m_path(std::move(path)), m_fileName(std::move(fileName)), m_kind(kind), m_patterns(std::move(patterns)),
          m_descriptions(std::move(descriptions)) {}

    const std::string& path() const { return m_path; }
    const std::string& fileName() const { return m_fileName; }
    int kind() const { return m_kind; }
    int formatCount() const { return static_cast<int>(m_patterns.size()); }
    const std::vector<std::string>& patterns() const { return m_patterns; }
    const std::vector<std::string>& descriptions() const { return m_descriptions; }

private:
    std::string m_path;
    std::string m_fileName;
    int m_kind = 0;
    std::vector<std::string> m_patterns;
    std::vector<std::string> m_descriptions;
};
