#include "platform/CSealedMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// Not F_SEAL_WRITE: it would forbid the reader to give pages back. A writer that changes pixels while they
// are copied only spoils its own picture; one that could shrink the file would make the reader fault.
constexpr int kSeals = F_SEAL_SEAL | F_SEAL_SHRINK | F_SEAL_GROW;

std::string systemError(const char* call) {
    return std::string(call) + ": " + std::strerror(errno);
}

}  // namespace

CSealedMemory::~CSealedMemory() {
    reset();
}

CSealedMemory::CSealedMemory(CSealedMemory&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)) {}

CSealedMemory& CSealedMemory::operator=(CSealedMemory&& other) noexcept {
    if (this != &other) {
        reset();
        m_fd = std::exchange(other.m_fd, -1);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void CSealedMemory::reset() {
    if (m_data)
        ::munmap(m_data, m_size);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_data = nullptr;
    m_size = 0;
}

std::optional<CSealedMemory> CSealedMemory::create(const char* name, std::size_t size, std::size_t limit,
                                                   std::string& error) {
    if (size == 0 || size > limit) {
        error = "a shared block of " + std::to_string(size) + " bytes, allowed 1.." + std::to_string(limit);
        return std::nullopt;
    }
    CSealedMemory block;
    block.m_fd = ::memfd_create(name, MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (block.m_fd < 0) {
        error = systemError("memfd_create");
        return std::nullopt;
    }
    if (::ftruncate(block.m_fd, static_cast<off_t>(size)) != 0) {
        error = systemError("ftruncate");
        return std::nullopt;
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, block.m_fd, 0);
    if (data == MAP_FAILED) {
        error = systemError("mmap");
        return std::nullopt;
    }
    block.m_data = data;
    block.m_size = size;
    return block;
}

bool CSealedMemory::seal(std::string& error) {
    if (m_fd < 0) {
        error = "no shared block to seal";
        return false;
    }
    if (m_data)
        ::munmap(m_data, m_size);
    m_data = nullptr;
    if (::fcntl(m_fd, F_ADD_SEALS, kSeals) != 0) {
        error = systemError("fcntl(F_ADD_SEALS)");
        return false;
    }
    return true;
}

std::optional<CSealedMemory> CSealedMemory::open(int fd, std::size_t expectedSize, std::string& error) {
    CSealedMemory block;
    block.m_fd = fd;
    if (fd < 0) {
        error = "no shared block came with the answer";
        return std::nullopt;
    }
    const int seals = ::fcntl(fd, F_GET_SEALS);
    if (seals < 0) {
        error = "the descriptor is no sealable shared block (" + systemError("fcntl(F_GET_SEALS)") + ")";
        return std::nullopt;
    }
    constexpr int kNeeded = F_SEAL_SHRINK | F_SEAL_GROW;
    if ((seals & kNeeded) != kNeeded) {
        error = "the shared block is not sealed against resizing (seals " + std::to_string(seals) + ")";
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        error = systemError("fstat");
        return std::nullopt;
    }
    if (status.st_size < 0 || static_cast<std::size_t>(status.st_size) != expectedSize || expectedSize == 0) {
        error = "the shared block holds " + std::to_string(status.st_size) + " bytes, expected " +
                std::to_string(expectedSize);
        return std::nullopt;
    }
    void* data = ::mmap(nullptr, expectedSize, PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
    if (data == MAP_FAILED) {
        error = systemError("mmap");
        return std::nullopt;
    }
    block.m_data = data;
    block.m_size = expectedSize;
    return block;
}

bool CSealedMemory::release(std::size_t offset, std::size_t length, std::string& error) {
    if (m_fd < 0 || offset > m_size || length > m_size - offset) {
        error = "no bytes " + std::to_string(offset) + ".." + std::to_string(offset + length) + " in a block of " +
                std::to_string(m_size);
        return false;
    }
    if (::fallocate(m_fd, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                    static_cast<off_t>(length)) != 0) {
        error = systemError("fallocate");
        return false;
    }
    return true;
}
