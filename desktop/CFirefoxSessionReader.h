#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/CBrowserSession.h"
#include "platform/CSessionError.h"

// Reads Firefox's session store: the JSON of sessionstore-backups/recovery.jsonlz4, with its windows, each
// window's tabs and selected tab, each tab's history entries and current entry, and the selected window.
// Firefox counts the selections from 1. The JSON is read in one pass with bounded memory (see
// CFirefoxSessionParser), so with the decompressed size capped no session file takes more than a few times
// that cap.
class CFirefoxSessionReader final {
public:
    // The session store of the profile in folder `profile`.
    static std::optional<CBrowserSession> readProfile(const std::string& profile, CSessionError* error);
    static std::optional<CBrowserSession> readFile(const std::string& path, CSessionError* error);
    static std::optional<CBrowserSession> parse(std::string_view json, const std::string& path, CSessionError* error);
};
