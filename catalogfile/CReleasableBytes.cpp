#include "catalogfile/CReleasableBytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "catalogfile/CCatalogFile.h"

namespace {

constexpr std::size_t kReadChunk = 1 << 20;

std::size_t pageSize() {
    static const std::size_t size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t roundUp(std::size_t bytes) {
    const std::size_t page = pageSize();
    return (bytes + page - 1) / page * page;
}

}  // namespace

CReleasableBytes::~CReleasableBytes() {
    clear();
}

void CReleasableBytes::clear() {
    m_small = std::string();
    if (m_data != nullptr)
        ::munmap(m_data, m_capacity);
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
}

bool CReleasableBytes::reserve(std::size_t bytes) {
    if (m_capacity - m_size >= bytes)
        return true;
    const std::size_t capacity = roundUp(std::max(m_size + bytes, m_capacity * 2));
    void* grown = m_data == nullptr
                      ? ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                      : ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED)
        return false;
    m_data = static_cast<char*>(grown);
    m_capacity = capacity;
    return true;
}

std::optional<CFileError> CReleasableBytes::readFile(const std::string& path,
                                                     std::optional<CFileStamp>* stamp) {
    clear();
    int fd = -1;
    std::uint64_t size = 0;
    if (std::optional<CFileError> error = CCatalogFile::openForReading(path, &fd, &size, stamp))
        return error;
    std::optional<CFileError> error;
    if (size < kReleasableFrom) {
        m_small.reserve(static_cast<std::size_t>(size));
        error = CCatalogFile::appendOpenedFile(fd, path, &m_small);
    } else {
        error = readLarge(fd, path, static_cast<std::size_t>(size));
    }
    ::close(fd);
    if (error)
        clear();
    return error;
}

std::optional<CFileError> CReleasableBytes::readLarge(int fd, const std::string& path, std::size_t size) {
    // One byte more than the size said, so that a file found whole needs no second mapping to see its end.
    std::size_t want = size + 1;
    for (;;) {
        if (!reserve(want))
            return CFileError::fromErrno(ENOMEM, path, false);
        const ssize_t n = ::read(fd, m_data + m_size, m_capacity - m_size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return CFileError::fromErrno(errno, path, false);
        }
        if (n == 0)
            return std::nullopt;
        m_size += static_cast<std::size_t>(n);
        want = kReadChunk;
    }
}

std::size_t CReleasableBytes::release(std::size_t begin, std::size_t end) const {
    const std::size_t page = pageSize();
    const std::size_t first = roundUp(begin);
    const std::size_t last = std::min(end, m_size) / page * page;
    if (m_data == nullptr || first >= last)
        return begin;
    ::madvise(m_data + first, last - first, MADV_DONTNEED);
    return last;
}
