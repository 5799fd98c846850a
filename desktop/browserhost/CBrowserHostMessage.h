#pragma once

#include <optional>
#include <string>

#include "desktop/CBrowserHostState.h"

// One message of the browser extension, checked field by field:
//   {"type":"page","url":"https://…","title":"…","status":"complete"|"loading","incognito":false,"time":<ms>}
// The url must be at most kMaxUrl bytes, of the http, https, file or ftp scheme and free of spaces and
// control characters; the title at most kMaxTitle bytes.
class CBrowserHostMessage final {
public:
    static constexpr std::size_t kMaxUrl = 16 * 1024;
    static constexpr std::size_t kMaxTitle = 4 * 1024;

    // The page the message reports (receivedMs, hostPid and pids left for the host to fill in), or nullopt
    // with what is wrong in `error`.
    static std::optional<CBrowserHostState::Page> parse(const std::string& frame, std::string* error);

    // True for a url the capture may take: a scheme it knows and nothing a line of a catalog cannot hold.
    static bool acceptableUrl(const std::string& url);
};
