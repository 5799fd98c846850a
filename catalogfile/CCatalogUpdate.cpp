#include "catalogfile/CCatalogUpdate.h"

#include "catalog/CFileCatalog.h"
#include "catalogfile/CCatalogFile.h"

std::optional<CCatalogFileError> CCatalogUpdate::open(CFileCatalog& catalog, const std::string& path) {
    m_path = path;
    if (const int error = m_lock.acquire(path); error != 0) {
        catalog.clear();
        return CCatalogFileError(CFileError::fromErrno(error, path, false));
    }
    if (std::optional<CCatalogFileError> error = CCatalogFile::read(catalog, path, false, &m_stamp))
        return error;
    m_shortcutsRead.clear();
    for (const auto& item : catalog.items())
        m_shortcutsRead.emplace(item->shortcutName());
    return std::nullopt;
}

std::optional<CCatalogFileError> CCatalogUpdate::save(CFileCatalog& catalog) {
    std::optional<CCatalogFileError> error = CCatalogFile::writeLocked(catalog, m_path, m_stamp);
    if (error) {
        deleteNewShortcuts(catalog);
        return error;
    }
    m_stamp = CFileStamp::of(m_path);
    return std::nullopt;
}

void CCatalogUpdate::deleteNewShortcuts(const CFileCatalog& catalog) const {
    if (!catalog.useShortcuts())
        return;
    const std::string folder = catalog.catalogFolder();
    for (const auto& item : catalog.items()) {
        if (!item->isUrl() && !m_shortcutsRead.contains(item->shortcutName()))
            item->deleteShortcutFile(folder);
    }
}
