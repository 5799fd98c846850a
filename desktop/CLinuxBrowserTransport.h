#pragma once

#include "desktop/CActiveBrowser.h"
#include "desktop/CExtensionBrowserTransport.h"
#include "desktop/CSessionBrowserTransport.h"
#include "platform/CBrowserTransport.h"

class CCaptureWait;

// Answers the browser capture on Linux for the browser whose window is active: from our browser
// extension, which reports the page shown the moment it changes, and when no extension answers, from
// the browser's session file, which lags behind and may make the capture wait.
class CLinuxBrowserTransport final : public CBrowserTransport {
public:
    // Told while the session path waits for the browser (not owned).
    void setWait(CCaptureWait* wait) { m_session.setWait(wait); }

    bool connect(const std::string& service, const std::string& topic) override;
    std::optional<std::string> request(const std::string& item, int timeoutMs) override;
    void disconnect() override;
    std::vector<CTopLevelWindow> topLevelWindows() override;
    std::string failureReason() const override;
    CaptureRefusal refusal() const override;

private:
    CActiveBrowser m_browser;
    CExtensionBrowserTransport m_extension{m_browser};
    CSessionBrowserTransport m_session{m_browser};
    CBrowserTransport* m_answering = nullptr;  // the transport of the open conversation
};
