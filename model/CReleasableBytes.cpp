#include "model/CReleasableBytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "model/CCatalogFile.h"

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
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0 || before.st_size < static_cast<off_t>(kReleasableFrom))
        return CCatalogFile::readFileBytes(path, &m_small, stamp);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return CFileError::fromErrno(errno, path, false);
    auto failWith = [&](int errorNumber) {
        ::close(fd);
        clear();
        return CFileError::fromErrno(errorNumber, path, false);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return failWith(errno);
    if (S_ISDIR(st.st_mode))
        return failWith(EISDIR);
    if (stamp != nullptr)
        *stamp = CFileStamp::ofOpenFile(fd);
    // One byte more than the size said, so that a file found whole needs no second mapping to see its end.
    std::size_t want = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : kReadChunk;
    for (;;) {
        if (!reserve(want))
            return failWith(ENOMEM);
        const ssize_t n = ::read(fd, m_data + m_size, m_capacity - m_size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failWith(errno);
        }
        if (n == 0)
            break;
        m_size += static_cast<std::size_t>(n);
        want = kReadChunk;
    }
    ::close(fd);
    return std::nullopt;
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
