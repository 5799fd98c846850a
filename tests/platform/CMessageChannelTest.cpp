// The channel between the program and its helper processes: every header and field is checked against its
// bounds, a peer can make neither end wait past its deadline nor take more than one descriptor, and a
// shared block is mapped only when sealed and of the size announced.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "platform/CMessageChannel.h"
#include "platform/CSealedMemory.h"
#include "platform/CWireMessage.h"
#include "platform/CWireReader.h"

namespace {

using Clock = CMessageChannel::Clock;
using namespace std::chrono_literals;

struct SocketPair {
    CMessageChannel near;
    int far = -1;  // raw, for writing bytes no channel would send
    SocketPair() {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
        near = CMessageChannel(ends[0]);
        far = ends[1];
    }
    ~SocketPair() {
        if (far >= 0)
            close(far);
    }
    void writeFar(const std::string& bytes) const { ASSERT_EQ(write(far, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
};

std::string header(std::uint32_t length, std::uint16_t type, std::uint16_t reserved = 0) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(char((length >> shift) & 0xFF));
    bytes += {char(type & 0xFF), char(type >> 8), char(reserved & 0xFF), char(reserved >> 8), 7, 0, 0, 0};
    return bytes;
}

bool isOpen(int fd) {
    return fcntl(fd, F_GETFD) != -1;
}

}  // namespace

TEST(WireReader, ReadsFieldsBackAndNamesTheFirstOneOutOfBounds) {
    CWireMessage message(3, 9);
    message.addU32(42).addI32(-5).addBytes("photo.qpx").addBytes(std::string("a\0b", 3));
    CWireReader reader(message);
    EXPECT_EQ(reader.u32("a"), 42u);
    EXPECT_EQ(reader.i32("b"), -5);
    EXPECT_EQ(reader.text("name", 64), "photo.qpx");
    EXPECT_EQ(reader.text("zero", 64), "");
    ASSERT_TRUE(reader.error());
    EXPECT_EQ(*reader.error(), "at byte 21 of a message of type 3: zero holds a zero byte");

    CWireReader tooLong(message);
    tooLong.u32("a");
    tooLong.u32("b");
    EXPECT_EQ(tooLong.bytes("name", 8), "");
    EXPECT_EQ(*tooLong.error(), "at byte 8 of a message of type 3: name of 9 bytes, at most 8");
    EXPECT_EQ(tooLong.u32("after"), 0u);  // reads after an error give nothing

    CWireMessage truncated(1);
    truncated.addU32(1000);  // a length with no bytes behind it
    CWireReader past(truncated);
    EXPECT_EQ(past.bytes("text", 4096), "");
    EXPECT_EQ(*past.error(), "at byte 4 of a message of type 1: text needs 1000 bytes, 0 left");

    CWireMessage numbers(1);
    numbers.addI32(300).addU32(0);
    CWireReader range(numbers);
    EXPECT_EQ(range.number("count", 0, 256), 0);
    EXPECT_EQ(*range.error(), "at byte 0 of a message of type 1: count is 300, not in 0..256");
    CWireReader trailing(numbers);
    trailing.u32("only");
    trailing.finish();
    EXPECT_EQ(*trailing.error(), "at byte 4 of a message of type 1: 4 bytes after the last field");
}

TEST(MessageChannel, CarriesMessagesAndOneDescriptor) {
    SocketPair pair;
    CMessageChannel far(pair.far);
    pair.far = -1;
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    CWireMessage sent(2, 77);
    sent.addBytes(std::string(200000, 'x'));  // more than a socket buffer holds at once
    const auto deadline = Clock::now() + 5s;
    CWireMessage received;
    int attached = -1;
    // The payload is larger than the socket's buffer: receive while sending.
    std::thread writer([&] { EXPECT_TRUE(far.send(sent, deadline, pipeEnds[1]).ok()); });
    ASSERT_TRUE(pair.near.receive(received, deadline, attached).ok());
    writer.join();
    EXPECT_EQ(received.type(), 2);
    EXPECT_EQ(received.serial(), 77u);
    EXPECT_EQ(received.payload(), sent.payload());
    ASSERT_GE(attached, 0);
    ASSERT_EQ(write(attached, "p", 1), 1);  // the same pipe
    char byte = 0;
    ASSERT_EQ(read(pipeEnds[0], &byte, 1), 1);
    close(attached);
    close(pipeEnds[0]);
    close(pipeEnds[1]);

    far.close();
    EXPECT_EQ(pair.near.receive(received, deadline, attached).status, CMessageChannel::Status::Closed);
    EXPECT_EQ(pair.near.send(sent, deadline).status, CMessageChannel::Status::Closed);  // and no SIGPIPE
}

TEST(MessageChannel, RefusesHeadersAndDescriptorsBeyondTheRules) {
    CWireMessage received;
    int attached = -1;
    {
        // A header that declares 2 MiB is refused at once, before any payload is waited for.
        SocketPair pair;
        pair.writeFar(header(2u << 20, 1));
        const auto result = pair.near.receive(received, Clock::now() + 5s, attached);
        EXPECT_EQ(result.status, CMessageChannel::Status::Malformed);
        EXPECT_NE(result.detail.find("payload length 2097152"), std::string::npos) << result.detail;
    }
    {
        SocketPair pair;
        pair.writeFar(header(0, 1, 1));
        EXPECT_EQ(pair.near.receive(received, Clock::now() + 5s, attached).status, CMessageChannel::Status::Malformed);
    }
    {
        // Half a message, then silence: the deadline ends the wait.
        SocketPair pair;
        pair.writeFar(header(10, 1) + "abc");
        const auto start = Clock::now();
        EXPECT_EQ(pair.near.receive(received, Clock::now() + 200ms, attached).status, CMessageChannel::Status::TimedOut);
        EXPECT_LT(Clock::now() - start, 2s);
    }
    {
        // Two descriptors with one message: both closed, the message refused.
        SocketPair pair;
        int pipeEnds[2];
        ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
        const std::string bytes = header(0, 1);
        iovec part{const_cast<char*>(bytes.data()), bytes.size()};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(2 * sizeof(int))] = {};
        message.msg_control = control;
        message.msg_controllen = sizeof control;
        cmsghdr* entry = CMSG_FIRSTHDR(&message);
        entry->cmsg_level = SOL_SOCKET;
        entry->cmsg_type = SCM_RIGHTS;
        entry->cmsg_len = CMSG_LEN(2 * sizeof(int));
        std::memcpy(CMSG_DATA(entry), pipeEnds, sizeof pipeEnds);
        ASSERT_EQ(sendmsg(pair.far, &message, 0), ssize_t(bytes.size()));
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        const int before = dup(0);  // the lowest free number: the received copies would take it
        close(before);
        EXPECT_EQ(pair.near.receive(received, Clock::now() + 5s, attached).status, CMessageChannel::Status::Malformed);
        EXPECT_EQ(attached, -1);
        EXPECT_FALSE(isOpen(before));
    }
}

TEST(SealedMemory, MapsOnlySealedBlocksOfTheAnnouncedSize) {
    std::string error;
    auto block = CSealedMemory::create("test", 4096, 1 << 20, error);
    ASSERT_TRUE(block) << error;
    std::memset(block->data(), 0x5A, 4096);
    ASSERT_TRUE(block->seal(error)) << error;
    auto copy = CSealedMemory::open(dup(block->fd()), 4096, error);
    ASSERT_TRUE(copy) << error;
    EXPECT_EQ(static_cast<const unsigned char*>(copy->data())[4095], 0x5A);
    EXPECT_NE(ftruncate(block->fd(), 16), 0);  // the writer cannot shrink it under the reader
    EXPECT_FALSE(CSealedMemory::open(dup(block->fd()), 8192, error));
    EXPECT_NE(error.find("holds 4096 bytes, expected 8192"), std::string::npos) << error;
    // Pages given back read as zeros, and the size stays.
    ASSERT_TRUE(copy->release(0, 4096, error)) << error;
    EXPECT_EQ(static_cast<const unsigned char*>(copy->data())[4095], 0);
    EXPECT_FALSE(copy->release(4096, 1, error));
    EXPECT_TRUE(CSealedMemory::open(dup(block->fd()), 4096, error)) << error;

    EXPECT_FALSE(CSealedMemory::create("test", (1 << 20) + 1, 1 << 20, error));
    // An unsealed block, or a descriptor that is no shared block at all, is refused; both are closed.
    const int unsealed = memfd_create("test", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    ASSERT_EQ(ftruncate(unsealed, 4096), 0);
    EXPECT_FALSE(CSealedMemory::open(unsealed, 4096, error));
    EXPECT_NE(error.find("not sealed"), std::string::npos) << error;
    EXPECT_FALSE(isOpen(unsealed));
    int pipeEnds[2];
    ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
    EXPECT_FALSE(CSealedMemory::open(pipeEnds[0], 4096, error));
    EXPECT_FALSE(isOpen(pipeEnds[0]));
    close(pipeEnds[1]);
}
