#include "platform/CBrowserCapture.h"

#include <algorithm>
#include <cstring>

namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n\v\f";
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The text before `marker` when the text contains it.
bool cutBefore(const std::string& text, std::string_view marker, std::string& result) {
    const auto at = text.find(marker);
    if (at == std::string::npos) {
        return false;
    }
    result = text.substr(0, at);
    return true;
}

}  // namespace

CBrowserCapture::CBrowserCapture(CBrowserTransport& transport) : m_transport(transport) {}

CBrowserCapture::~CBrowserCapture() { disconnect(); }

bool CBrowserCapture::connect(const std::string& topic) {
    if (m_connected) {
        return true;
    }
    for (std::size_t index = 0; index < kServices.size(); ++index) {
        if (m_transport.connect(kServices[index], topic)) {
            m_connected = true;
            m_serviceIndex = static_cast<int>(index);
            return true;
        }
        // A browser that answered and refused its page is not passed over for another.
        if (m_transport.refusal() != CaptureRefusal::None) {
            break;
        }
    }
    m_failureReason = m_transport.failureReason();
    m_refusal = m_transport.refusal();
    return false;
}

void CBrowserCapture::disconnect() {
    if (m_connected) {
        m_transport.disconnect();
        m_connected = false;
    }
}

std::uint32_t CBrowserCapture::version() {
    if (!connect(kVersionTopic)) {
        return 0;
    }
    std::uint32_t value = 0;
    if (const auto reply = m_transport.request(kVersionTopic, kRequestTimeoutMs)) {
        // The first four bytes, little-endian; a shorter reply is padded with zeros.
        unsigned char bytes[4] = {0, 0, 0, 0};
        std::memcpy(bytes, reply->data(), std::min<std::size_t>(reply->size(), 4));
        value = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    }
    disconnect();
    return value;
}

bool CBrowserCapture::capture(std::string& url, std::string& title) {
    m_failureReason.clear();
    m_refusal = CaptureRefusal::None;
    const std::uint32_t replyVersion = version();
    if (!connect(kWindowInfoTopic)) {
        return false;
    }
    url.clear();
    title.clear();
    const auto reply = m_transport.request(kWindowInfoItem, kRequestTimeoutMs);
    if (reply && !reply->empty()) {
        parseReply(m_serviceIndex, replyVersion, *reply, url, title);
    }
    disconnect();
    return true;
}

void CBrowserCapture::parseReply(int serviceIndex, std::uint32_t version, const std::string& reply,
                                 std::string& url, std::string& title) {
    // R' is the reply without its opening quote; the URL is everything before the separator.
    const std::string_view rest = std::string_view(reply).substr(reply.empty() ? 0 : 1);
    const auto split = [&](std::string_view separator) {
        const auto at = rest.find(separator);
        if (at == std::string_view::npos) {
            url.clear();
            return std::string();
        }
        url = std::string(rest.substr(0, at));
        return std::string(rest.substr(at + separator.size()));
    };

    switch (serviceIndex) {
    case 0:
    case 4:
        if (version == 0x10000) {
            title = dropLast(split("\",\"Opera - ["), 2);
            if (cutCharacterBytes(title) > 0 || !endsWith(reply, "]\"")) {
                title = windowTitleLookup(serviceIndex, title);
            }
        } else if (version >= 0x20000) {
            title = dropLast(split("\",\""), 4);
        } else {
            title = dropLast(split("\",\"Netscape - ["), 2);
        }
        break;
    case 1:
    case 5: {
        title = dropLast(split("\",\""), 1);
        if (endsWith(title, "\",\"")) {
            title.resize(title.size() - 3);
        }
        if (const std::size_t cut = cutCharacterBytes(title); cut > 0) {
            title.resize(title.size() - cut);
            for (const CTopLevelWindow& window : m_transport.topLevelWindows()) {
                if (startsWith(window.text, title)) {
                    const auto dash = window.text.find(" - ");
                    title = dash == std::string::npos ? window.text : window.text.substr(0, dash);
                    break;
                }
            }
        }
        break;
    }
    case 2:
        title = dropLast(split("\",\""), 4);
        if (!title.empty() && title.front() == '.') {
            title = windowTitleLookup(serviceIndex, title);
        }
        break;
    default:  // 3 and 6 leave the title to the window titles
        split("\",\"");
        title = windowTitleLookup(serviceIndex, std::string());
        break;
    }
}

std::string CBrowserCapture::windowTitleLookup(int serviceIndex, const std::string& startTitle) {
    const std::string prefix = startTitle.substr(0, 4);
    constexpr std::string_view kOperaTail = " ] - Opera";
    constexpr std::string_view kOperaHead = "Opera - [ ";
    const auto operaTail = [&](const std::string& text, std::string& result) {
        if (text.size() > kOperaTail.size() && endsWith(text, kOperaTail)) {
            const std::string head = text.substr(0, text.size() - kOperaTail.size());
            result = head.size() > 2 ? head.substr(2) : std::string();
            return true;
        }
        return false;
    };

    std::string result;
    for (const CTopLevelWindow& window : m_transport.topLevelWindows()) {
        const std::string& text = window.text;
        switch (serviceIndex) {
        case 0:
            if (startsWith(text, prefix)) {
                return text;
            }
            if (operaTail(text, result)) {
                return result;
            }
            if (text.find(prefix) != std::string::npos && startsWith(text, kOperaHead)) {
                return dropLast(std::string_view(text).substr(kOperaHead.size()), 2);
            }
            if (text == "Opera") {
                return lookupInOperaFrame(window, prefix);
            }
            break;
        case 2:
            if (cutBefore(text, " - Mozilla {", result)) {
                return result;
            }
            break;
        case 3:
            if (cutBefore(text, " - Netscape", result)) {
                return result;
            }
            break;
        case 4:
            if (operaTail(text, result)) {
                return result;
            }
            break;
        case 6:
            if (cutBefore(text, " - Mozilla Firefox", result)) {
                return result;
            }
            break;
        default:  // 1 and 5 have no window test
            break;
        }
    }
    return prefix;
}

std::string CBrowserCapture::lookupInOperaFrame(const CTopLevelWindow& frame, const std::string& prefix) const {
    for (const CTopLevelWindow& child : frame.children) {
        if (child.className != "MDIClient") {
            continue;
        }
        for (const CTopLevelWindow& document : child.children) {
            const std::string_view text = trimmed(document.text);
            if (startsWith(text, prefix)) {
                return std::string(text);
            }
        }
        break;
    }
    return prefix;
}

std::string CBrowserCapture::dropLast(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, text.size() > count ? text.size() - count : 0));
}

std::size_t CBrowserCapture::cutCharacterBytes(std::string_view text) {
    // Walk back over at most three continuation bytes to the lead byte of the last character.
    std::size_t back = 0;
    while (back < text.size() && back < 4) {
        const auto byte = static_cast<unsigned char>(text[text.size() - 1 - back]);
        if ((byte & 0xC0) != 0x80) {
            std::size_t length = 1;
            if ((byte & 0xE0) == 0xC0) {
                length = 2;
            } else if ((byte & 0xF0) == 0xE0) {
                length = 3;
            } else if ((byte & 0xF8) == 0xF0) {
                length = 4;
            }
            return back + 1 < length ? back + 1 : 0;
        }
        ++back;
    }
    return 0;
}
