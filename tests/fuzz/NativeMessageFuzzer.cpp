// The native messaging frame reader under libFuzzer: the first byte sets how the stream is split into
// reads, the rest is the stream. Whatever the bytes, every frame read is one the stream holds, of 1 to
// kMaxFrame bytes, in order and whole; the reader ends at the stream's end (whole or half a message) or at
// the first length it refuses, and reads nothing after that.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/CNativeMessageReader.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "native message fuzzer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::size_t chunk = 1 + data[0] % 7;
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t position = 0;
    CNativeMessageReader reader([&](char* buffer, std::size_t wanted) -> long {
        const std::size_t count = std::min({wanted, chunk, stream.size() - position});
        std::memcpy(buffer, stream.data() + position, count);
        position += count;
        return static_cast<long>(count);
    });

    std::size_t expected = 0;  // where the next header starts in the stream
    for (;;) {
        const CNativeMessageReader::Result result = reader.next();
        if (result.status != CNativeMessageReader::Status::Frame) {
            const bool atEnd = reader.offset() == stream.size();
            if (result.status == CNativeMessageReader::Status::End && (!atEnd || expected != stream.size()))
                fail("the end reported before the stream ended, or inside a message");
            if (result.status == CNativeMessageReader::Status::Truncated &&
                (!atEnd || expected == stream.size()))
                fail("a half message reported where the stream holds whole messages");
            if (result.status == CNativeMessageReader::Status::Refused &&
                reader.offset() != expected + CNativeMessageReader::kHeaderSize)
                fail("a refused length did not stop the reading at its header");
            if (result.status == CNativeMessageReader::Status::Failed)
                fail("reading from memory failed");
            if (result.detail.empty())
                fail("a stop without a reason");
            if (reader.next().status == CNativeMessageReader::Status::Frame)
                fail("a frame read after the reader stopped");
            return 0;
        }
        const std::size_t length = result.frame.size();
        if (length == 0 || length > CNativeMessageReader::kMaxFrame)
            fail("a frame of a size that should have been refused");
        std::uint32_t header = 0;
        std::memcpy(&header, stream.data() + expected, sizeof header);
        if (header != length ||
            stream.substr(expected + CNativeMessageReader::kHeaderSize, length) != result.frame)
            fail("a frame that is not the one the stream holds");
        expected += CNativeMessageReader::kHeaderSize + length;
        if (reader.offset() != expected)
            fail("the offset does not follow the frames read");
    }
}
