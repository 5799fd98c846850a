#include "platform/CMessageChannel.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr int kMaxDescriptors = 4;  // room to notice (and close) descriptors beyond the one allowed

std::string systemError(const char* call) {
    return std::string(call) + ": " + std::strerror(errno);
}

}  // namespace

CMessageChannel::~CMessageChannel() {
    close();
}

CMessageChannel::CMessageChannel(CMessageChannel&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

CMessageChannel& CMessageChannel::operator=(CMessageChannel&& other) noexcept {
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void CMessageChannel::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

CMessageChannel::Result CMessageChannel::wait(short events, Clock::time_point deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline != Clock::time_point::max()) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return {Status::TimedOut, "no answer in time"};
            timeout = static_cast<int>(std::min<long long>(left, 1 << 30));
        }
        pollfd entry{m_fd, events, 0};
        const int ready = ::poll(&entry, 1, timeout);
        if (ready > 0)
            return {};  // ready, or hung up / in error: the read or write that follows tells which
        if (ready < 0 && errno != EINTR)
            return {Status::Failed, systemError("poll")};
    }
}

CMessageChannel::Result CMessageChannel::send(const CWireMessage& message, Clock::time_point deadline, int attached) {
    if (m_fd < 0)
        return {Status::Closed, "the channel is closed"};
    std::string wire;
    if (!message.encode(wire))
        return {Status::Malformed, "a message of " + std::to_string(message.payload().size()) + " bytes is too long"};
    std::size_t sent = 0;
    while (sent < wire.size()) {
        if (Result ready = wait(POLLOUT, deadline); !ready.ok())
            return ready;
        iovec part{wire.data() + sent, wire.size() - sent};
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
        if (sent == 0 && attached >= 0) {
            // The descriptor travels with the first byte of the message.
            header.msg_control = control;
            header.msg_controllen = sizeof control;
            cmsghdr* entry = CMSG_FIRSTHDR(&header);
            entry->cmsg_level = SOL_SOCKET;
            entry->cmsg_type = SCM_RIGHTS;
            entry->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(entry), &attached, sizeof(int));
        }
        const ssize_t written = ::sendmsg(m_fd, &header, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            if (errno == EPIPE || errno == ECONNRESET)
                return {Status::Closed, "the other end closed the channel"};
            return {Status::Failed, systemError("sendmsg")};
        }
        sent += static_cast<std::size_t>(written);
    }
    return {};
}

CMessageChannel::Result CMessageChannel::readExactly(char* buffer, std::size_t size, Clock::time_point deadline,
                                                     int& attached, int& extra) {
    std::size_t got = 0;
    while (got < size) {
        if (Result ready = wait(POLLIN, deadline); !ready.ok())
            return ready;
        iovec part{buffer + got, size - got};
        msghdr header{};
        header.msg_iov = &part;
        header.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int) * kMaxDescriptors)] = {};
        header.msg_control = control;
        header.msg_controllen = sizeof control;
        const ssize_t read = ::recvmsg(m_fd, &header, MSG_CMSG_CLOEXEC | MSG_DONTWAIT);
        if (read < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            if (errno == ECONNRESET)
                return {Status::Closed, "the other end closed the channel"};
            return {Status::Failed, systemError("recvmsg")};
        }
        for (cmsghdr* entry = CMSG_FIRSTHDR(&header); entry; entry = CMSG_NXTHDR(&header, entry)) {
            if (entry->cmsg_level != SOL_SOCKET || entry->cmsg_type != SCM_RIGHTS)
                continue;
            const std::size_t count = (entry->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (std::size_t i = 0; i < count; ++i) {
                int fd = -1;
                std::memcpy(&fd, CMSG_DATA(entry) + i * sizeof(int), sizeof(int));
                if (attached < 0) {
                    attached = fd;
                } else {
                    ::close(fd);
                    ++extra;
                }
            }
        }
        if (header.msg_flags & MSG_CTRUNC)
            ++extra;  // descriptors beyond the room given were dropped by the kernel
        if (read == 0)
            return {Status::Closed, got == 0 ? "the other end closed the channel"
                                             : "the other end closed the channel in the middle of a message"};
        got += static_cast<std::size_t>(read);
    }
    return {};
}

CMessageChannel::Result CMessageChannel::receive(CWireMessage& message, Clock::time_point deadline, int& attached) {
    attached = -1;
    if (m_fd < 0)
        return {Status::Closed, "the channel is closed"};
    int extra = 0;
    auto dropDescriptors = [&] {
        if (attached >= 0)
            ::close(attached);
        attached = -1;
    };
    unsigned char header[CWireMessage::kHeaderSize];
    Result result = readExactly(reinterpret_cast<char*>(header), sizeof header, deadline, attached, extra);
    if (!result.ok()) {
        dropDescriptors();
        return result;
    }
    std::uint32_t length = 0;
    if (auto error = CWireMessage::decodeHeader(header, length, message)) {
        dropDescriptors();
        return {Status::Malformed, *error};
    }
    std::string payload(length, '\0');
    result = readExactly(payload.data(), payload.size(), deadline, attached, extra);
    if (!result.ok()) {
        dropDescriptors();
        return result;
    }
    if (extra > 0) {
        dropDescriptors();
        return {Status::Malformed, "more than one descriptor came with a message"};
    }
    message.setPayload(std::move(payload));
    return {};
}
