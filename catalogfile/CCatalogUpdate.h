#pragma once

#include <optional>
#include <set>
#include <string>

#include "catalogfile/CCatalogFileError.h"
#include "platform/CFileLock.h"
#include "platform/CFileStamp.h"

class CFileCatalog;

// One read-modify-write of a catalog file. open locks the file and reads it; the lock is held until the
// object goes, so concurrent updates take turns and none is lost. save refuses when the file was changed
// since it was read by a program that does not take the lock (FileErrorKind::ChangedOnDisk), and a failed
// save deletes the shortcuts the update made, which no saved catalog names.
class CCatalogUpdate final {
public:
    // Locks and reads the catalog file, without recomputing (see CCatalogFile::read).
    std::optional<CCatalogFileError> open(CFileCatalog& catalog, const std::string& path);
    // Saves the catalog to the file it was read from, under the lock.
    std::optional<CCatalogFileError> save(CFileCatalog& catalog);

private:
    void deleteNewShortcuts(const CFileCatalog& catalog) const;

    CFileLock m_lock;
    std::optional<CFileStamp> m_stamp;
    std::string m_path;
    std::set<std::string, std::less<>> m_shortcutsRead;
};
