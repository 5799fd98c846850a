// The frames a browser sends to the native messaging host: whole frames however the pipe splits them, the
// normal end told apart from a half message, and lengths that cannot be read past refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/CNativeMessageReader.h"

namespace {

using Status = CNativeMessageReader::Status;

std::string frame(const std::string& payload) {
    const auto length = static_cast<std::uint32_t>(payload.size());
    std::string bytes(sizeof length, '\0');
    std::memcpy(bytes.data(), &length, sizeof length);
    return bytes + payload;
}

std::string lengthOnly(std::uint32_t length) {
    return frame(std::string()).replace(0, 4, reinterpret_cast<const char*>(&length), 4);
}

// A stream that hands out its bytes in reads of the given sizes (the last size repeats).
CNativeMessageReader readerOf(const std::string& bytes, std::vector<std::size_t> reads) {
    auto position = std::make_shared<std::size_t>(0);
    auto call = std::make_shared<std::size_t>(0);
    return CNativeMessageReader([bytes, reads, position, call](char* buffer, std::size_t size) -> long {
        const std::size_t chunk = reads[std::min(*call, reads.size() - 1)];
        ++*call;
        const std::size_t count = std::min({size, chunk, bytes.size() - *position});
        std::memcpy(buffer, bytes.data() + *position, count);
        *position += count;
        return static_cast<long>(count);
    });
}

// Every frame until the reader stops, then the status it stopped with.
std::vector<std::string> readAll(CNativeMessageReader reader, Status* last) {
    std::vector<std::string> frames;
    for (;;) {
        CNativeMessageReader::Result result = reader.next();
        if (result.status != Status::Frame) {
            *last = result.status;
            return frames;
        }
        frames.push_back(result.frame);
    }
}

}  // namespace

TEST(NativeMessageReader, ReadsWholeFramesHoweverTheStreamIsSplit) {
    const std::string first = R"({"type":"page","url":"https://example.org/"})";
    const std::string second = R"({"title":"日本語"})";
    const std::string stream = frame(first) + frame(second);
    for (std::size_t split = 1; split <= stream.size(); ++split) {
        Status last = Status::Frame;
        // The first read ends at `split`, every later one takes a single byte.
        const auto frames = readAll(readerOf(stream, {split, 1}), &last);
        ASSERT_EQ(frames, (std::vector<std::string>{first, second})) << "first read of " << split << " bytes";
        EXPECT_EQ(last, Status::End);
    }
}

TEST(NativeMessageReader, TellsTheEndFromAHalfMessage) {
    Status last = Status::Frame;
    EXPECT_TRUE(readAll(readerOf("", {64}), &last).empty());
    EXPECT_EQ(last, Status::End);

    const std::string whole = frame("{}");
    for (std::size_t cut = 1; cut < whole.size(); ++cut) {
        const auto frames = readAll(readerOf(frame("[1]") + whole.substr(0, cut), {3}), &last);
        EXPECT_EQ(frames, std::vector<std::string>{"[1]"}) << "cut after " << cut;
        EXPECT_EQ(last, Status::Truncated) << "cut after " << cut;
    }

    CNativeMessageReader reader = readerOf(frame("[1]") + whole.substr(0, 5), {64});
    reader.next();
    EXPECT_EQ(reader.next().detail, "the stream ended inside the frame at byte 7 after 1 of 2 bytes");
}

TEST(NativeMessageReader, RefusesEmptyAndOversizedFramesAndAcceptsTheLargestAllowed) {
    const std::string largest(CNativeMessageReader::kMaxFrame, 'x');
    Status last = Status::Frame;
    EXPECT_EQ(readAll(readerOf(frame(largest), {4096}), &last), std::vector<std::string>{largest});
    EXPECT_EQ(last, Status::End);

    // Nothing after a refused length is read as a frame, even a valid frame.
    const std::string valid = frame("{}");
    EXPECT_TRUE(readAll(readerOf(lengthOnly(0) + valid, {64}), &last).empty());
    EXPECT_EQ(last, Status::Refused);
    EXPECT_TRUE(
        readAll(readerOf(lengthOnly(CNativeMessageReader::kMaxFrame + 1) + valid, {64}), &last).empty());
    EXPECT_EQ(last, Status::Refused);
    EXPECT_TRUE(readAll(readerOf(lengthOnly(0xFFFFFFFFu), {64}), &last).empty());
    EXPECT_EQ(last, Status::Refused);

    CNativeMessageReader reader = readerOf(valid + lengthOnly(70000), {64});
    EXPECT_EQ(reader.next().frame, "{}");
    EXPECT_EQ(reader.next().detail, "a frame of 70000 bytes at byte 6, at most 65536");
}
