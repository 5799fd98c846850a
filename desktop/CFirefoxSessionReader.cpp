#include "desktop/CFirefoxSessionReader.h"

#include "desktop/CMozLz4Reader.h"
#include "platform/CFirefoxSessionParser.h"

std::optional<CBrowserSession> CFirefoxSessionReader::readProfile(const std::string& profile, CSessionError* error) {
    return readFile(profile + "/sessionstore-backups/recovery.jsonlz4", error);
}

std::optional<CBrowserSession> CFirefoxSessionReader::readFile(const std::string& path, CSessionError* error) {
    const auto json = CMozLz4Reader::readFile(path, error);
    if (!json) {
        return std::nullopt;
    }
    return parse(*json, path, error);
}

std::optional<CBrowserSession> CFirefoxSessionReader::parse(std::string_view json, const std::string& path,
                                                            CSessionError* error) {
    return CFirefoxSessionParser(json, path).parse(error);
}
