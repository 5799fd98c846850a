#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

// Reads the frames a browser sends to a native messaging host on its standard input.
//
// Frame: a 32-bit length in the machine's own byte order, then that many bytes of UTF-8 JSON.
// A frame of zero bytes or of more than kMaxFrame bytes is refused: a length that breaks the rule leaves
// no way to find where the next frame starts, so the stream cannot be read on. The stream ending between
// frames is the normal end; ending inside a header or a frame is a half message.
class CNativeMessageReader final {
public:
    static constexpr std::size_t kHeaderSize = 4;
    static constexpr std::uint32_t kMaxFrame = 64 * 1024;

    enum class Status {
        Frame,      // a whole frame was read
        End,        // the stream ended between two frames
        Truncated,  // the stream ended inside a header or a frame
        Refused,    // a length of zero or over kMaxFrame
        Failed,     // reading failed
    };
    struct Result {
        Status status = Status::Frame;
        std::string frame;   // the frame's bytes, for Frame
        std::string detail;  // what went wrong and at which byte of the stream, for the others
    };

    // Reads up to `size` bytes into `buffer`: the count read, 0 at the end of the stream, -1 with errno set
    // on failure (EINTR is retried).
    using Source = std::function<long(char* buffer, std::size_t size)>;

    explicit CNativeMessageReader(Source source) : m_source(std::move(source)) {}
    // A reader of the descriptor, which stays the caller's.
    static CNativeMessageReader fromDescriptor(int fd);

    // The next frame, or why there is none. After anything but Frame the stream is not read again.
    Result next();

    // The number of bytes read from the stream so far.
    std::uint64_t offset() const { return m_offset; }

private:
    // Reads until `size` bytes are in `buffer` or the stream ends; the count read, or -1 on failure.
    long readFully(char* buffer, std::size_t size);
    Result stop(Status status, std::string detail);

    Source m_source;
    std::uint64_t m_offset = 0;
    bool m_stopped = false;
};
