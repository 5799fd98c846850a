#pragma once

#include <optional>
#include <string>

#include "platform/CBrowserSession.h"
#include "platform/CSessionError.h"

// Reads the current session of a Chromium-family profile: the newest Sessions/Session_* file, replayed.
// A profile whose current session is kept only encrypted (a Sessions_Encrypted/ file newer than the plain
// one, or an encrypted file version) gives an error rather than an older page.
class CChromiumSessionReader final {
public:
    static std::optional<CBrowserSession> readProfile(const std::string& profile, CSessionError* error);

    // The newest Session_* file in `folder` by modification time, "" when there is none.
    static std::string newestSessionFile(const std::string& folder);
};
