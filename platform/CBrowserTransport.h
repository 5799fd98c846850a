#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/CTopLevelWindow.h"

// Why a browser that runs gave no page: the capture must never register a page other than the one shown.
enum class CaptureRefusal {
    None,           // no refusal: no browser answered, or it answered
    NotYetSaved,    // the browser shows a page it has not yet written down
    PrivateWindow,  // the page shown is in a private window
    BrowserPage,    // the page shown is one of the browser's own (a first-run or internal page)
    Cancelled,      // the user ended the wait
};

// How the browser capture reaches a running browser: a conversation opened with a service name and a
// topic, plain-text requests on it, and the list of top-level windows. The capture's reply parsing sits
// above this interface; each platform answers in the shapes the browsers of the service table gave.
class CBrowserTransport {
public:
    virtual ~CBrowserTransport() = default;

    // Opens a conversation with `service` on `topic`; false when no browser answers to that service.
    virtual bool connect(const std::string& service, const std::string& topic) = 0;

    // Asks the open conversation for `item`; nullopt when no data came back within `timeoutMs`.
    virtual std::optional<std::string> request(const std::string& item, int timeoutMs) = 0;

    // Ends the open conversation, if any.
    virtual void disconnect() = 0;

    // The top-level windows from the top of the z-order downwards.
    virtual std::vector<CTopLevelWindow> topLevelWindows() = 0;

    // Why the last connect was refused ("" when no browser runs at all): a path and what was wrong there.
    virtual std::string failureReason() const { return {}; }

    // Set when a running browser's page was refused; the capture then asks no further service.
    virtual CaptureRefusal refusal() const { return CaptureRefusal::None; }
};
