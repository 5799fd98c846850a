#pragma once

#include <string>

// What went wrong while the catalog folder was set up, moved, renamed or copied.
enum class CatalogFolderErrorKind {
    CreateFolder,   // the folder (or one of its parents) could not be created
    TargetExists,   // a folder or file of the new name is already there: never merged or replaced
    Rename,         // the folder or the file could not be renamed
    Copy,           // the folder's contents could not be copied
    OldFolderLeft,  // the move went through, but the old folder could not be deleted after the copy
};

// A failure of a catalog folder operation: what kind, the path it concerns and the system's error number
// (0 when none applies). The caller decides what the user sees.
class CCatalogFolderError final {
public:
    CCatalogFolderError(CatalogFolderErrorKind kind, std::string path, int errorNumber = 0);

    CatalogFolderErrorKind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    // False only for OldFolderLeft, where the operation itself succeeded.
    bool failed() const { return m_kind != CatalogFolderErrorKind::OldFolderLeft; }

    // The message the user sees for the kinds that have one of their own ("" for the others, whose
    // callers word the failure of the whole command).
    std::string userMessage() const;
    // The path and the system's own description of the error, for qlry.
    std::string describe() const;

private:
    CatalogFolderErrorKind m_kind;
    std::string m_path;
    int m_errorNumber;
};
