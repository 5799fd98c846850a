#pragma once

#include <cstddef>
#include <optional>
#include <string>

// A block of memory that one process fills and another reads, through a sealed memfd. The writer creates
// the block, fills it, and seals its size before it hands the descriptor over; the reader maps a received
// descriptor only after checking those seals and the size, so the writer cannot truncate the file to make
// the reader's accesses fault. The reader may give pages back as it goes (release()), so that a large
// block copied out is never held twice.
class CSealedMemory final {
public:
    CSealedMemory() = default;
    ~CSealedMemory();
    CSealedMemory(CSealedMemory&& other) noexcept;
    CSealedMemory& operator=(CSealedMemory&& other) noexcept;
    CSealedMemory(const CSealedMemory&) = delete;
    CSealedMemory& operator=(const CSealedMemory&) = delete;

    // A writable block of `size` bytes (more than 0, at most `limit`), zero-filled.
    static std::optional<CSealedMemory> create(const char* name, std::size_t size, std::size_t limit,
                                               std::string& error);
    // Ends writing: unmaps the writable view and seals the block's size. The descriptor stays open for handing
    // over.
    bool seal(std::string& error);

    // Maps a received descriptor read-only, taking it over (it is closed on failure too). Refused unless it is
    // sealed against growing and shrinking and holds exactly `expectedSize` bytes.
    static std::optional<CSealedMemory> open(int fd, std::size_t expectedSize, std::string& error);

    // Gives the memory of [offset, offset + length) back to the system; it reads as zeros from then on.
    bool release(std::size_t offset, std::size_t length, std::string& error);

    void* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    int fd() const { return m_fd; }
    void reset();

private:
    int m_fd = -1;
    void* m_data = nullptr;
    std::size_t m_size = 0;
};
