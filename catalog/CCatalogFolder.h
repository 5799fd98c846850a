#pragma once

// The catalog folder on disk: setting up a new catalog's folder, moving, renaming and copying it, and
// deleting the shortcuts that no item uses. The operations change the catalog's path when they succeed and
// tell the user nothing: a failure comes back as a CCatalogFolderError with the path concerned.

#include <optional>
#include <string_view>

#include "catalog/CCatalogFolderError.h"

class CFileCatalog;

class CCatalogFolder final {
public:
    explicit CCatalogFolder(CFileCatalog& catalog) : m_catalog(catalog) {}

    // Path = parent/name/name.qlry, creating the folder and any missing parents when it does not exist.
    // The path is unchanged on failure.
    std::optional<CCatalogFolderError> setLocation(std::string_view parentFolder, std::string_view name);
    // Moves the catalog folder to newParent/newName (newName "" keeps the folder's name) by renaming it, or
    // across file systems by copying it and deleting the old one; the path follows. An existing folder of
    // the new name is never merged into. OldFolderLeft means the move succeeded but the old copy stays.
    std::optional<CCatalogFolderError> move(std::string_view newParent, std::string_view newName);
    // Renames the catalog file to newName.qlry in its folder; an existing file is never replaced.
    std::optional<CCatalogFolderError> renameFile(std::string_view newName);
    // Copies everything in the catalog folder to newParent/newName, then renames the copied catalog file
    // to newName.qlry; the path names the copy. Nothing happens when the two folders are the same.
    std::optional<CCatalogFolderError> copy(std::string_view newParent, std::string_view newName);
    // Deletes the "*.lnk" files of the catalog folder that no item names; the count deleted. A folder that
    // cannot be listed (or a catalog not yet saved) deletes nothing.
    int deleteUnusedShortcuts();

private:
    CFileCatalog& m_catalog;
};
