#include "preview/CSPIProtocol.h"

#include <algorithm>
#include <cstdint>

#include "platform/CPcxDecoder.h"
#include "platform/CWireReader.h"

namespace {

std::string bounded(const std::string& text, std::size_t limit) {
    return text.size() <= limit ? text : text.substr(0, limit);
}

std::optional<std::string> expectType(const CWireMessage& message, std::uint16_t type) {
    if (message.type() == type)
        return std::nullopt;
    return "a message of type " + std::to_string(message.type()) + " where type " + std::to_string(type) +
           " belongs";
}

constexpr std::int64_t kInt32Max = INT32_MAX;

}  // namespace

CWireMessage CSPIProtocol::encode(const Request& request) {
    CWireMessage message(request.type);
    message.addBytes(request.path);
    if (request.type != kLoad)
        message.addBytes(request.file);
    if (request.type == kIsSupported)
        message.addBytes(request.head);
    if (request.type == kGetPicture || request.type == kGetPictureInfo)
        message.addI32(request.offset);
    return message;
}

std::optional<std::string> CSPIProtocol::decode(const CWireMessage& message, Request& request) {
    request = Request{};
    if (message.type() < kLoad || message.type() > kGetPictureInfo)
        return "a request of unknown type " + std::to_string(message.type());
    request.type = static_cast<Type>(message.type());
    CWireReader reader(message);
    request.path = reader.text("plug-in path", kMaxPath);
    if (request.type != kLoad)
        request.file = reader.text("picture path", kMaxPath);
    if (request.type == kIsSupported) {
        request.head = reader.bytes("file head", kHeadSize);
        if (!reader.error() && request.head.size() != kHeadSize)
            reader.fail("file head of " + std::to_string(request.head.size()) + " bytes");
    }
    if (request.type == kGetPicture || request.type == kGetPictureInfo)
        request.offset = static_cast<std::int32_t>(reader.number("offset", 0, kInt32Max));
    reader.finish();
    return reader.error();
}

CWireMessage CSPIProtocol::encode(const LoadReply& reply) {
    CWireMessage message(replyType(kLoad));
    message.addU32(reply.loaded ? 1 : 0).addU32(reply.reportable ? 1 : 0).addBytes(bounded(reply.why, kMaxText));
    message.addI32(reply.kind);
    const std::size_t count = std::min({reply.patterns.size(), reply.descriptions.size(), kMaxFormats});
    message.addU32(static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i)
        message.addBytes(bounded(reply.patterns[i], kMaxPattern)).addBytes(bounded(reply.descriptions[i], kMaxPattern));
    return message;
}

std::optional<std::string> CSPIProtocol::decode(const CWireMessage& message, LoadReply& reply) {
    reply = LoadReply{};
    if (auto wrong = expectType(message, replyType(kLoad)))
        return wrong;
    CWireReader reader(message);
    reply.loaded = reader.number("loaded", 0, 1) == 1;
    reply.reportable = reader.number("reportable", 0, 1) == 1;
    reply.why = reader.text("reason", kMaxText);
    reply.kind = reader.i32("kind");
    const auto count = static_cast<std::size_t>(reader.number("format count", 0, kMaxFormats));
    for (std::size_t i = 0; i < count && !reader.error(); ++i) {
        reply.patterns.push_back(reader.text("pattern", kMaxPattern));
        reply.descriptions.push_back(reader.text("description", kMaxPattern));
    }
    if (!reader.error() && !reply.loaded && count != 0)
        reader.fail("formats of a plug-in that did not load");
    reader.finish();
    return reader.error();
}

CWireMessage CSPIProtocol::encodeSupport(std::int32_t result) {
    CWireMessage message(replyType(kIsSupported));
    message.addI32(result);
    return message;
}

std::optional<std::string> CSPIProtocol::decodeSupport(const CWireMessage& message, std::int32_t& result) {
    if (auto wrong = expectType(message, replyType(kIsSupported)))
        return wrong;
    CWireReader reader(message);
    result = reader.i32("result");
    reader.finish();
    return reader.error();
}

CWireMessage CSPIProtocol::encode(const PictureReply& reply) {
    CWireMessage message(replyType(kGetPicture));
    message.addI32(reply.result).addU32(static_cast<std::uint32_t>(reply.picture)).addBytes(bounded(reply.fault, kMaxText));
    message.addI32(reply.width).addI32(reply.height).addI32(reply.bitCount);
    return message;
}

std::optional<std::string> CSPIProtocol::decode(const CWireMessage& message, PictureReply& reply) {
    reply = PictureReply{};
    if (auto wrong = expectType(message, replyType(kGetPicture)))
        return wrong;
    CWireReader reader(message);
    reply.result = reader.i32("result");
    reply.picture = static_cast<Picture>(reader.number("outcome", 0, static_cast<std::int64_t>(Picture::NoMemory)));
    reply.fault = reader.text("fault", kMaxText);
    if (!reader.error() && (reply.picture == Picture::NotDecoded) == (reply.result == 0))
        reader.fail("outcome " + std::to_string(static_cast<int>(reply.picture)) + " with result " +
                    std::to_string(reply.result));
    if (reply.picture == Picture::Decoded) {
        reply.width = static_cast<std::int32_t>(reader.number("width", 1, kInt32Max));
        reply.height = static_cast<std::int32_t>(reader.number("height", 1, kInt32Max));
        reply.bitCount = static_cast<std::int32_t>(reader.number("bit count", 1, 32));
        if (!reader.error() && std::uint64_t(reply.width) * std::uint64_t(reply.height) * 4 > CPcxDecoder::kMaxPictureBytes)
            reader.fail(std::to_string(reply.width) + " x " + std::to_string(reply.height) +
                        " pixels, over the picture limit");
    } else {
        reply.width = reader.i32("width");
        reply.height = reader.i32("height");
        reply.bitCount = reader.i32("bit count");
    }
    reader.finish();
    return reader.error();
}

CWireMessage CSPIProtocol::encode(const InfoReply& reply) {
    CWireMessage message(replyType(kGetPictureInfo));
    message.addI32(reply.result).addI32(reply.info.left).addI32(reply.info.top).addI32(reply.info.width);
    message.addI32(reply.info.height).addU32(reply.info.xDensity).addU32(reply.info.yDensity);
    message.addI32(reply.info.colorDepth);
    return message;
}

std::optional<std::string> CSPIProtocol::decode(const CWireMessage& message, InfoReply& reply) {
    reply = InfoReply{};
    if (auto wrong = expectType(message, replyType(kGetPictureInfo)))
        return wrong;
    CWireReader reader(message);
    reply.result = reader.i32("result");
    reply.info.left = reader.i32("left");
    reply.info.top = reader.i32("top");
    reply.info.width = reader.i32("width");
    reply.info.height = reader.i32("height");
    reply.info.xDensity = static_cast<std::uint16_t>(reader.number("x density", 0, UINT16_MAX));
    reply.info.yDensity = static_cast<std::uint16_t>(reader.number("y density", 0, UINT16_MAX));
    reply.info.colorDepth = static_cast<std::int16_t>(reader.number("colour depth", INT16_MIN, INT16_MAX));
    reader.finish();
    return reader.error();
}
