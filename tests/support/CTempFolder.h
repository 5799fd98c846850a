#pragma once

#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
class CTempFolder final {
public:
    CTempFolder();
    // A fresh folder under the given folder instead.
    explicit CTempFolder(const std::string& base);
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // path + "/" + relative.
    std::string operator/(std::string_view relative) const;
    // Writes a file (creating its folders) and returns its full path.
    std::string write(std::string_view relative, std::string_view contents) const;
    std::string makeFolder(std::string_view relative) const;

private:
    std::string m_path;
};
