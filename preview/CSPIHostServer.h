#pragma once

#include <map>
#include <string>

#include "platform/CMessageChannel.h"
#include "platform/CSealedMemory.h"
#include "preview/CSPICore.h"
#include "preview/CSPIProtocol.h"

// The image plug-in helper's side of the channel: loads plug-ins when first named, makes one plug-in call
// per request and answers it. A decoded picture is checked and converted to 32-bit pixels here and handed
// back in a sealed shared block, so the program only copies pixels whose sizes it has checked itself.
class CSPIHostServer final {
public:
    // Takes over the descriptor of the channel.
    explicit CSPIHostServer(int channelFd) : m_channel(channelFd) {}

    // Answers requests until the program closes the channel (0), or a request breaks the protocol or an
    // answer cannot be sent (2; the reason goes to standard error).
    int run();

private:
    // The plug-in at `path`, loaded when first named; null when it does not load.
    CSPICore* plugin(const std::string& path, CSPIProtocol::LoadReply* loadReply = nullptr);
    CWireMessage load(const CSPIProtocol::Request& request);
    CWireMessage isSupported(const CSPIProtocol::Request& request);
    CWireMessage getPicture(const CSPIProtocol::Request& request, CSealedMemory& block);
    CWireMessage getPictureInfo(const CSPIProtocol::Request& request);

    CMessageChannel m_channel;
    std::map<std::string, CSPICore> m_plugins;
};
