#pragma once

#include <map>
#include <string>

#include "platform/CProfile.h"

// Settings held in memory, for tests and for tools that run without a settings file.
class CMemoryProfile final : public CProfile {
public:
    int readInt(std::string_view section, std::string_view entry, int defaultValue) const override;
    std::string readString(std::string_view section, std::string_view entry,
                           std::string_view defaultValue) const override;
    void writeInt(std::string_view section, std::string_view entry, int value) override;
    void writeString(std::string_view section, std::string_view entry, std::string_view value) override;

    bool contains(std::string_view section, std::string_view entry) const;

private:
    using Key = std::pair<std::string, std::string>;
    static Key key(std::string_view section, std::string_view entry);

    std::map<Key, int> m_ints;
    std::map<Key, std::string> m_strings;
};
