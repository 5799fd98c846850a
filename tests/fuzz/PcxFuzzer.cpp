// The PCX decoder under libFuzzer: whatever the bytes, decoding never crashes, hangs or reads out of
// bounds, and a picture it returns is complete (width x height pixels within the 1 GiB limit); a failure
// leaves no picture behind.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/CPcxDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDecodedPicture picture;
    const auto error = CPcxDecoder::decode(std::string_view(reinterpret_cast<const char*>(data), size), picture);
    const std::uint64_t pixels = static_cast<std::uint64_t>(picture.width) * static_cast<std::uint64_t>(picture.height);
    const bool complete = picture.width > 0 && picture.height > 0 && picture.pixels.size() == pixels &&
                          pixels * 4 <= CPcxDecoder::kMaxPictureBytes;
    if (error ? !picture.pixels.empty() || picture.width != 0 : !complete) {
        std::fprintf(stderr, "pcx fuzzer: %s\n", error ? "a failed decode left a picture" : "an incomplete picture");
        std::abort();
    }
    return 0;
}
