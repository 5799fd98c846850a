#pragma once

#include <string>

// An exclusive advisory lock (flock) on an existing file, held for as long as the object lives. Every
// read-modify-write of a catalog holds one, so two writers take turns instead of losing each other's
// change. A save replaces the file by renaming a new one over it; a waiter that wakes up holding the lock
// of the replaced file notices that the path names another file now and locks that one instead.
class CFileLock final {
public:
    CFileLock() = default;
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;
    CFileLock(CFileLock&& other) noexcept;
    CFileLock& operator=(CFileLock&& other) noexcept;
    ~CFileLock();

    // Waits for the lock of the file at the path (a symbolic link locks its target). Returns 0, or the
    // errno value when the file cannot be opened or locked (ENOENT when there is no file yet).
    int acquire(const std::string& path);
    bool held() const { return m_fd >= 0; }
    void release();

private:
    int m_fd = -1;
};
