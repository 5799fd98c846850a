#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/CWireMessage.h"
#include "preview/SusiePlugin.h"

// The requests the image plug-in host sends to its helper process and the answers it gets back: one request
// per plug-in call, each answered by a message of the request's type | kReply. Both sides build their
// messages here and check every message they receive here, field by field, with the bounds below.
class CSPIProtocol final {
public:
    enum Type : std::uint16_t {
        kLoad = 1,            // path -> kind, patterns and descriptions, or why not
        kIsSupported = 2,     // path, the file's first 2,048 bytes -> IsSupported's result
        kGetPicture = 3,      // path, offset -> GetPicture's result and the picture in shared memory
        kGetPictureInfo = 4,  // path, offset -> GetPictureInfo's result and fields
    };
    static constexpr std::uint16_t kReply = 0x80;

    static constexpr std::size_t kMaxPath = 4096;
    static constexpr std::size_t kHeadSize = 2048;
    static constexpr std::size_t kMaxText = 1024;
    static constexpr std::size_t kMaxFormats = 256;
    static constexpr std::size_t kMaxPattern = 256;

    struct Request {
        Type type = kLoad;
        std::string path;     // the plug-in
        std::string file;     // the picture file (all but kLoad)
        std::string head;     // kIsSupported: exactly kHeadSize bytes
        std::int32_t offset = 0;  // kGetPicture, kGetPictureInfo
    };

    struct LoadReply {
        bool loaded = false;
        bool reportable = false;  // when not loaded: a fault worth reporting (not merely no plug-in)
        std::string why;
        std::int32_t kind = 0;
        std::vector<std::string> patterns;
        std::vector<std::string> descriptions;
    };

    // What became of a GetPicture call.
    enum class Picture : std::uint32_t {
        NotDecoded = 0,  // GetPicture returned `result`, not 0
        Decoded = 1,     // the pixels come in a sealed shared block of width x height x 4 bytes
        Empty = 2,       // a picture of width or height 0
        TooLarge = 3,
        Unsupported = 4,
        Broken = 5,      // blocks that do not add up; `fault` says why
        NoMemory = 6,    // the helper could not make the shared block; `fault` says why
    };
    struct PictureReply {
        std::int32_t result = 0;
        Picture picture = Picture::NotDecoded;
        std::string fault;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t bitCount = 0;
    };

    struct InfoReply {
        std::int32_t result = 0;
        SusiePictureInfo info{};  // the text block is never passed on: `info.info` is null
    };

    static std::uint16_t replyType(Type request) { return static_cast<std::uint16_t>(request | kReply); }

    static CWireMessage encode(const Request& request);
    static std::optional<std::string> decode(const CWireMessage& message, Request& request);

    static CWireMessage encode(const LoadReply& reply);
    static std::optional<std::string> decode(const CWireMessage& message, LoadReply& reply);

    static CWireMessage encodeSupport(std::int32_t result);
    static std::optional<std::string> decodeSupport(const CWireMessage& message, std::int32_t& result);

    static CWireMessage encode(const PictureReply& reply);
    // Also checks that a decoded picture's sizes are positive and within the picture limit.
    static std::optional<std::string> decode(const CWireMessage& message, PictureReply& reply);

    static CWireMessage encode(const InfoReply& reply);
    static std::optional<std::string> decode(const CWireMessage& message, InfoReply& reply);
};
