#pragma once

#include <string>

// A failure of the file system while a catalog file is read or written: what kind, the file, and the
// operating system's error number.
// ChangedOnDisk: a save refused because another program changed the file after it was read.
enum class FileErrorKind { NotFound, AccessDenied, DiskFull, ChangedOnDisk, Other };

class CFileError final {
public:
    CFileError(FileErrorKind kind, std::string path, int errorNumber, bool whileWriting);
    // The kind that an errno value stands for.
    static CFileError fromErrno(int errorNumber, std::string path, bool whileWriting);
    // A save refused because the file is no longer the one that was read.
    static CFileError changedOnDisk(std::string path);

    FileErrorKind kind() const { return m_kind; }
    const std::string& path() const { return m_path; }
    int errorNumber() const { return m_errorNumber; }
    bool whileWriting() const { return m_whileWriting; }

    // The message the user sees, with the path in place of %1.
    std::string userMessage() const;
    // The path and the system's own description of the error, for logs and qlry.
    std::string describe() const;

private:
    FileErrorKind m_kind;
    std::string m_path;
    int m_errorNumber;
    bool m_whileWriting;
};
