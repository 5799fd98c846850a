#include "support/CTempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

CTempFolder::CTempFolder() : CTempFolder(fs::temp_directory_path().string()) {}

CTempFolder::CTempFolder(const std::string& base) {
    std::string pattern = (fs::path(base) / "quillory-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_path = pattern;
}

CTempFolder::~CTempFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

std::string CTempFolder::operator/(std::string_view relative) const {
    return m_path + "/" + std::string(relative);
}

std::string CTempFolder::write(std::string_view relative, std::string_view contents) const {
    const std::string full = *this / relative;
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream(full, std::ios::binary)
        .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return full;
}

std::string CTempFolder::makeFolder(std::string_view relative) const {
    const std::string full = *this / relative;
    fs::create_directories(full);
    return full;
}
