#include "desktop/CLinuxBrowserTransport.h"

bool CLinuxBrowserTransport::connect(const std::string& service, const std::string& topic) {
    disconnect();
    // The extension's page is taken first; a refusal of its own (a private window) stands.
    for (CBrowserTransport* transport : {static_cast<CBrowserTransport*>(&m_extension),
                                         static_cast<CBrowserTransport*>(&m_session)}) {
        if (transport->connect(service, topic)) {
            m_answering = transport;
            return true;
        }
        if (transport->refusal() != CaptureRefusal::None) {
            return false;
        }
    }
    return false;
}

std::optional<std::string> CLinuxBrowserTransport::request(const std::string& item, int timeoutMs) {
    return m_answering ? m_answering->request(item, timeoutMs) : std::nullopt;
}

void CLinuxBrowserTransport::disconnect() {
    if (m_answering) {
        m_answering->disconnect();
        m_answering = nullptr;
    }
}

std::vector<CTopLevelWindow> CLinuxBrowserTransport::topLevelWindows() {
    return m_answering ? m_answering->topLevelWindows() : m_browser.topLevelWindows();
}

std::string CLinuxBrowserTransport::failureReason() const {
    return m_extension.refusal() != CaptureRefusal::None ? m_extension.failureReason() : m_session.failureReason();
}

CaptureRefusal CLinuxBrowserTransport::refusal() const {
    return m_extension.refusal() != CaptureRefusal::None ? m_extension.refusal() : m_session.refusal();
}
