#pragma once

// A whole file read into memory, which a reader gives back piece by piece once it has taken what it needs
// from each piece. Reading a catalog of a million items then never holds the whole file and the whole model
// at once: the pages of the records already converted are returned while the rest are converted.
//
// Only a large file is read into memory of its own (an anonymous mapping) that can be given back: memory
// given back costs a fault and a cleared page when it is used again, which for a small file would cost more
// than holding it while it is read.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "catalogfile/CFileError.h"
#include "platform/CFileStamp.h"

class CReleasableBytes final {
public:
    CReleasableBytes() = default;
    CReleasableBytes(const CReleasableBytes&) = delete;
    CReleasableBytes& operator=(const CReleasableBytes&) = delete;
    ~CReleasableBytes();

    // Reads the whole file, replacing what was held; `stamp`, when given, receives the stamp of the file
    // that was read. The file system's failure otherwise.
    std::optional<CFileError> readFile(const std::string& path, std::optional<CFileStamp>* stamp = nullptr);

    // The size from which a file is read into memory that can be given back.
    static constexpr std::size_t kReleasableFrom = 32 << 20;

    std::string_view view() const { return m_data != nullptr ? std::string_view(m_data, m_size) : m_small; }
    // Gives back the memory of the whole pages inside [begin, end) of view(): those bytes must not be read
    // again (they read as zeros). Returns where the next release can begin (the end of what was given back,
    // or `begin` when nothing was). Safe from several threads on disjoint ranges.
    std::size_t release(std::size_t begin, std::size_t end) const;

private:
    // Reads an opened file of about `size` bytes into memory that can be given back.
    std::optional<CFileError> readLarge(int fd, const std::string& path, std::size_t size);
    // Room for `bytes` more bytes after the ones read; false when the memory cannot be had.
    bool reserve(std::size_t bytes);
    void clear();

    std::string m_small;  // a file below kReleasableFrom
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};
