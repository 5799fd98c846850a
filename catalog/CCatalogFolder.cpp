#include "catalog/CCatalogFolder.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "catalog/CFileCatalog.h"
#include "text/PathUtil.h"

namespace fs = std::filesystem;

namespace {

std::string lastComponent(const std::string& folder) {
    const std::size_t slash = folder.rfind('/');
    return slash == std::string::npos ? folder : folder.substr(slash + 1);
}

std::string catalogFileName(std::string_view name) {
    return std::string(name) + std::string(CFileCatalog::kExtension);
}

// Copies everything in `from` (files and folders) into `to`, creating it; never overwrites a file.
std::optional<CCatalogFolderError> copyFolderContents(const std::string& from, const std::string& to) {
    std::error_code error;
    fs::create_directories(to, error);
    if (error) {
        return CCatalogFolderError(CatalogFolderErrorKind::CreateFolder, to, error.value());
    }
    fs::copy(from, to, fs::copy_options::recursive, error);
    if (error) {
        return CCatalogFolderError(CatalogFolderErrorKind::Copy, from, error.value());
    }
    return std::nullopt;
}

}  // namespace

std::optional<CCatalogFolderError> CCatalogFolder::setLocation(std::string_view parentFolder,
                                                               std::string_view name) {
    const std::string folder = jtext::joinFolderAndName(parentFolder, name);
    std::error_code error;
    if (!fs::is_directory(folder, error) && jtext::makeDirectories(folder) == 0) {
        return CCatalogFolderError(CatalogFolderErrorKind::CreateFolder, folder);
    }
    m_catalog.setPath(jtext::joinFolderAndName(folder, catalogFileName(name)));
    return std::nullopt;
}

std::optional<CCatalogFolderError> CCatalogFolder::move(std::string_view newParent, std::string_view newName) {
    const std::string oldFolder = m_catalog.catalogFolder();
    const std::string newFolder = jtext::joinFolderAndName(
        newParent, newName.empty() ? lastComponent(oldFolder) : std::string(newName));
    const std::string newPath = jtext::joinFolderAndName(newFolder, catalogFileName(m_catalog.catalogName()));
    if (newFolder == oldFolder) {
        m_catalog.setPath(newPath);
        return std::nullopt;
    }
    std::error_code error;
    if (fs::exists(newFolder, error)) {
        return CCatalogFolderError(CatalogFolderErrorKind::TargetExists, newFolder);
    }
    fs::rename(oldFolder, newFolder, error);
    if (error != std::errc::cross_device_link) {
        if (error) {
            return CCatalogFolderError(CatalogFolderErrorKind::Rename, oldFolder, error.value());
        }
        m_catalog.setPath(newPath);
        return std::nullopt;
    }
    if (std::optional<CCatalogFolderError> failure = copyFolderContents(oldFolder, newFolder)) {
        return failure;
    }
    m_catalog.setPath(newPath);
    fs::remove_all(oldFolder, error);
    if (error) {
        return CCatalogFolderError(CatalogFolderErrorKind::OldFolderLeft, oldFolder, error.value());
    }
    return std::nullopt;
}

std::optional<CCatalogFolderError> CCatalogFolder::renameFile(std::string_view newName) {
    const std::string& oldPath = m_catalog.path();
    const std::string newPath = jtext::joinFolderAndName(m_catalog.catalogFolder(), catalogFileName(newName));
    if (newPath != oldPath) {
        std::error_code error;
        if (fs::exists(newPath, error)) {
            return CCatalogFolderError(CatalogFolderErrorKind::TargetExists, newPath);
        }
        fs::rename(oldPath, newPath, error);
        if (error) {
            return CCatalogFolderError(CatalogFolderErrorKind::Rename, oldPath, error.value());
        }
    }
    m_catalog.setPath(newPath);
    return std::nullopt;
}

std::optional<CCatalogFolderError> CCatalogFolder::copy(std::string_view newParent, std::string_view newName) {
    const std::string oldFolder = m_catalog.catalogFolder();
    const std::string newFolder = jtext::joinFolderAndName(newParent, newName);
    if (newFolder == oldFolder) {
        return std::nullopt;
    }
    if (std::optional<CCatalogFolderError> failure = copyFolderContents(oldFolder, newFolder)) {
        return failure;
    }
    m_catalog.setPath(jtext::joinFolderAndName(newFolder, catalogFileName(m_catalog.catalogName())));
    return renameFile(newName);
}

int CCatalogFolder::deleteUnusedShortcuts() {
    const std::string folder = m_catalog.catalogFolder();
    if (folder.empty()) {
        return 0;  // a catalog not yet saved has no shortcuts
    }
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        return 0;
    }
    std::vector<fs::path> unused;
    for (const fs::directory_entry& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".lnk") != 0 || entry.is_directory(error)) {
            continue;
        }
        const bool named = std::any_of(m_catalog.items().begin(), m_catalog.items().end(),
                                       [&](const auto& item) { return item->shortcutName() == name; });
        if (!named) {
            unused.push_back(entry.path());
        }
    }
    int deleted = 0;
    for (const fs::path& path : unused) {
        if (fs::remove(path, error)) {
            ++deleted;
        }
    }
    return deleted;
}
