#include "platform/CNativeMessageReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

CNativeMessageReader CNativeMessageReader::fromDescriptor(int fd) {
    return CNativeMessageReader(
        [fd](char* buffer, std::size_t size) -> long { return ::read(fd, buffer, size); });
}

long CNativeMessageReader::readFully(char* buffer, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const long count = m_source(buffer + got, size - got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        got += static_cast<std::size_t>(count);
        m_offset += static_cast<std::uint64_t>(count);
    }
    return static_cast<long>(got);
}

CNativeMessageReader::Result CNativeMessageReader::stop(Status status, std::string detail) {
    m_stopped = true;
    Result result;
    result.status = status;
    result.detail = std::move(detail);
    return result;
}

CNativeMessageReader::Result CNativeMessageReader::next() {
    if (m_stopped)
        return stop(Status::End, "the stream was already given up");
    const std::uint64_t start = m_offset;
    const std::string where = " at byte " + std::to_string(start);

    char header[kHeaderSize];
    const long headerBytes = readFully(header, kHeaderSize);
    if (headerBytes < 0)
        return stop(Status::Failed, "reading a header" + where + ": " + std::strerror(errno));
    if (headerBytes == 0)
        return stop(Status::End, "the stream ended" + where);
    if (headerBytes < static_cast<long>(kHeaderSize))
        return stop(Status::Truncated, "the stream ended inside the header" + where + " after " +
                                           std::to_string(headerBytes) + " of 4 bytes");

    // The length is in the sender's (this machine's) byte order.
    std::uint32_t length = 0;
    std::memcpy(&length, header, sizeof length);
    if (length == 0)
        return stop(Status::Refused, "an empty frame" + where);
    if (length > kMaxFrame)
        return stop(Status::Refused, "a frame of " + std::to_string(length) + " bytes" + where +
                                         ", at most " + std::to_string(kMaxFrame));

    Result result;
    result.frame.resize(length);
    const long frameBytes = readFully(result.frame.data(), length);
    if (frameBytes < 0)
        return stop(Status::Failed, "reading the frame" + where + ": " + std::strerror(errno));
    if (frameBytes < static_cast<long>(length))
        return stop(Status::Truncated, "the stream ended inside the frame" + where + " after " +
                                           std::to_string(frameBytes) + " of " + std::to_string(length) +
                                           " bytes");
    return result;
}
