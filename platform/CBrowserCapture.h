#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CBrowserTransport.h"

// Reads the address and the title of the page that a running browser shows. The browser is asked with the
// topics "WWW_Version" and "WWW_GetWindowInfo" through a transport; the browsers answered in different
// shapes and some cut or left out the title, so the reply is parsed per browser (service index) and reply
// version, and the title is completed from the top-level window titles where needed. All strings are
// UTF-8; positions and lengths count bytes.
class CBrowserCapture final {
public:
    // Tried in this order; the index of the one that accepted selects the reply parsing.
    static constexpr std::array<const char*, 7> kServices = {"Netscape", "IExplore", "Mozilla", "Netscape6",
                                                             "Opera",    "Sleipnir", "Firefox"};
    static constexpr int kRequestTimeoutMs = 10000;
    static constexpr const char* kVersionTopic = "WWW_Version";
    static constexpr const char* kWindowInfoTopic = "WWW_GetWindowInfo";
    static constexpr const char* kWindowInfoItem = "0xFFFFFFFF";

    explicit CBrowserCapture(CBrowserTransport& transport);
    ~CBrowserCapture();
    CBrowserCapture(const CBrowserCapture&) = delete;
    CBrowserCapture& operator=(const CBrowserCapture&) = delete;

    // Reuses an open conversation; otherwise tries each service in table order with `topic`.
    bool connect(const std::string& topic);
    void disconnect();

    // The browser's reply version: the first four bytes of its "WWW_Version" answer, 0 when none answers.
    std::uint32_t version();

    // The shown page. False only when no browser accepts; a browser that sends nothing within the time
    // limit gives true with an empty URL and title.
    bool capture(std::string& url, std::string& title);

    int serviceIndex() const { return m_serviceIndex; }
    // Why the last capture found no browser, from the transport ("" when none runs).
    const std::string& failureReason() const { return m_failureReason; }
    // Why the running browser's page was refused, when it was.
    CaptureRefusal refusal() const { return m_refusal; }

    // The URL and title in reply `reply` of service `serviceIndex` at `version`; window titles are read
    // from the transport only when the parsing needs them.
    void parseReply(int serviceIndex, std::uint32_t version, const std::string& reply, std::string& url,
                    std::string& title);

    // Completes `startTitle` from the window titles the way service `serviceIndex` titled its windows.
    std::string windowTitleLookup(int serviceIndex, const std::string& startTitle);

private:
    static std::string dropLast(std::string_view text, std::size_t count);
    // The number of bytes that end `text` inside an unfinished multibyte character (0 when none):
    // the title was cut in the middle of a character.
    static std::size_t cutCharacterBytes(std::string_view text);
    std::string lookupInOperaFrame(const CTopLevelWindow& frame, const std::string& prefix) const;

    CBrowserTransport& m_transport;
    bool m_connected = false;
    int m_serviceIndex = -1;
    std::string m_failureReason;
    CaptureRefusal m_refusal = CaptureRefusal::None;
};
