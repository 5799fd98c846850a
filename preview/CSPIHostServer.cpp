#include "preview/CSPIHostServer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/CPcxDecoder.h"
#include "preview/CSPIBitmap.h"

namespace {

constexpr std::int32_t kNotDecoded = 2;

// Frees what a plug-in handed over with malloc().
struct CPluginBlocks {
    void* info = nullptr;
    void* bits = nullptr;
    ~CPluginBlocks() {
        std::free(info);
        if (bits != info)
            std::free(bits);
    }
};

}  // namespace

CSPICore* CSPIHostServer::plugin(const std::string& path, CSPIProtocol::LoadReply* loadReply) {
    if (auto found = m_plugins.find(path); found != m_plugins.end())
        return &found->second;
    CSPICore core;
    std::string why;
    bool reportable = false;
    if (!core.load(path, why, reportable)) {
        if (loadReply) {
            loadReply->why = why;
            loadReply->reportable = reportable;
        }
        return nullptr;
    }
    return &m_plugins.emplace(path, std::move(core)).first->second;
}

CWireMessage CSPIHostServer::load(const CSPIProtocol::Request& request) {
    CSPIProtocol::LoadReply reply;
    if (const CSPICore* core = plugin(request.path, &reply)) {
        reply.loaded = true;
        reply.kind = core->kind();
        reply.patterns = core->patterns();
        reply.descriptions = core->descriptions();
    }
    return CSPIProtocol::encode(reply);
}

CWireMessage CSPIHostServer::isSupported(const CSPIProtocol::Request& request) {
    const CSPICore* core = plugin(request.path);
    if (!core || !core->isSupported())
        return CSPIProtocol::encodeSupport(0);
    // A copy the plug-in may write into, with a zero byte beyond its end.
    std::vector<char> head(request.head.begin(), request.head.end());
    head.push_back('\0');
    return CSPIProtocol::encodeSupport(core->isSupported()(request.file.c_str(), head.data()));
}

CWireMessage CSPIHostServer::getPicture(const CSPIProtocol::Request& request, CSealedMemory& block) {
    CSPIProtocol::PictureReply reply;
    const CSPICore* core = plugin(request.path);
    if (!core || !core->getPicture()) {
        reply.result = kNotDecoded;
        return CSPIProtocol::encode(reply);
    }
    CPluginBlocks blocks;
    reply.result = core->getPicture()(request.file.c_str(), request.offset, 0, &blocks.info, &blocks.bits, nullptr, 0);
    if (reply.result != 0)
        return CSPIProtocol::encode(reply);

    CSPIBitmap bitmap;
    switch (bitmap.check(blocks.info, blocks.bits, CPcxDecoder::kMaxPictureBytes, reply.fault)) {
    case CSPIBitmap::Check::Valid:
        break;
    case CSPIBitmap::Check::Empty:
        reply.picture = CSPIProtocol::Picture::Empty;
        return CSPIProtocol::encode(reply);
    case CSPIBitmap::Check::TooLarge:
        reply.picture = CSPIProtocol::Picture::TooLarge;
        return CSPIProtocol::encode(reply);
    case CSPIBitmap::Check::Unsupported:
        reply.picture = CSPIProtocol::Picture::Unsupported;
        return CSPIProtocol::encode(reply);
    case CSPIBitmap::Check::Broken:
        reply.picture = CSPIProtocol::Picture::Broken;
        return CSPIProtocol::encode(reply);
    }
    auto pixels = CSealedMemory::create("quillory-picture", bitmap.pixelBytes(), CPcxDecoder::kMaxPictureBytes, reply.fault);
    if (!pixels) {
        reply.picture = CSPIProtocol::Picture::NoMemory;
        return CSPIProtocol::encode(reply);
    }
    bitmap.convert(static_cast<std::uint32_t*>(pixels->data()));
    if (!pixels->seal(reply.fault)) {
        reply.picture = CSPIProtocol::Picture::NoMemory;
        return CSPIProtocol::encode(reply);
    }
    block = std::move(*pixels);
    reply.picture = CSPIProtocol::Picture::Decoded;
    reply.width = bitmap.width();
    reply.height = bitmap.height();
    reply.bitCount = bitmap.bitCount();
    return CSPIProtocol::encode(reply);
}

CWireMessage CSPIHostServer::getPictureInfo(const CSPIProtocol::Request& request) {
    CSPIProtocol::InfoReply reply;
    const CSPICore* core = plugin(request.path);
    if (!core || !core->getPictureInfo()) {
        reply.result = kNotDecoded;
        return CSPIProtocol::encode(reply);
    }
    SusiePictureInfo info{};
    reply.result = core->getPictureInfo()(request.file.c_str(), request.offset, 0, &info);
    std::free(info.info);
    info.info = nullptr;
    if (reply.result == 0)
        reply.info = info;
    return CSPIProtocol::encode(reply);
}

int CSPIHostServer::run() {
    const auto forever = CMessageChannel::Clock::time_point::max();
    for (;;) {
        CWireMessage message;
        int attached = -1;
        const CMessageChannel::Result received = m_channel.receive(message, forever, attached);
        if (attached >= 0) {
            std::fprintf(stderr, "quillory-spi-host: a descriptor came with a request\n");
            return 2;
        }
        if (received.status == CMessageChannel::Status::Closed)
            return 0;
        CSPIProtocol::Request request;
        std::optional<std::string> error = received.ok() ? CSPIProtocol::decode(message, request) : received.detail;
        if (error) {
            std::fprintf(stderr, "quillory-spi-host: %s\n", error->c_str());
            return 2;
        }
        CSealedMemory block;
        CWireMessage reply;
        switch (request.type) {
        case CSPIProtocol::kLoad: reply = load(request); break;
        case CSPIProtocol::kIsSupported: reply = isSupported(request); break;
        case CSPIProtocol::kGetPicture: reply = getPicture(request, block); break;
        case CSPIProtocol::kGetPictureInfo: reply = getPictureInfo(request); break;
        }
        reply.setSerial(message.serial());
        const CMessageChannel::Result sent = m_channel.send(reply, forever, block.fd());
        if (!sent.ok()) {
            std::fprintf(stderr, "quillory-spi-host: %s\n", sent.detail.c_str());
            return 2;
        }
    }
}
