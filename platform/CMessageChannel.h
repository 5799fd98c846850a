#pragma once

#include <chrono>
#include <string>

#include "platform/CWireMessage.h"

// One end of a stream socket that carries CWireMessages, optionally with one file descriptor attached to a
// message. Every operation waits at most until a deadline, never raises SIGPIPE, and checks each header
// before it reads a payload, so the other end can neither stall it past its deadline nor make it allocate
// more than a message may hold.
class CMessageChannel final {
public:
    using Clock = std::chrono::steady_clock;

    enum class Status {
        Ok,
        Closed,     // the other end closed the socket (or the socket is gone)
        TimedOut,   // the deadline passed
        Malformed,  // a header that breaks the rules, or descriptors where none or one may come
        Failed,     // a system call failed
    };
    struct Result {
        Status status = Status::Ok;
        std::string detail;  // what went wrong, for a message
        bool ok() const { return status == Status::Ok; }
    };

    CMessageChannel() = default;
    // Takes over the descriptor.
    explicit CMessageChannel(int fd) : m_fd(fd) {}
    ~CMessageChannel();
    CMessageChannel(CMessageChannel&& other) noexcept;
    CMessageChannel& operator=(CMessageChannel&& other) noexcept;
    CMessageChannel(const CMessageChannel&) = delete;
    CMessageChannel& operator=(const CMessageChannel&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();

    // Sends the message, with the descriptor `attached` when it is 0 or more (the caller keeps its copy).
    Result send(const CWireMessage& message, Clock::time_point deadline, int attached = -1);
    // Receives one message. A descriptor that came with it is handed over in `attached` (-1 when none came);
    // when more than one came, all are closed and the message is Malformed.
    Result receive(CWireMessage& message, Clock::time_point deadline, int& attached);

private:
    // Waits until the socket is ready for `events` or the deadline passes.
    Result wait(short events, Clock::time_point deadline);
    // Reads exactly `size` bytes into `buffer`, collecting any descriptors that come with them.
    Result readExactly(char* buffer, std::size_t size, Clock::time_point deadline, int& attached, int& extra);

    int m_fd = -1;
};
