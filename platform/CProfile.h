#pragma once

#include <string>
#include <string_view>

// The settings store as the core sees it: named sections holding int and string entries, read with a
// default for a missing entry. The application backs it with QSettings (~/.config/Vemto/Quillory.conf),
// qlry reads the same file, and tests use CMemoryProfile.
class CProfile {
public:
    virtual ~CProfile() = default;

    virtual int readInt(std::string_view section, std::string_view entry, int defaultValue) const = 0;
    virtual std::string readString(std::string_view section, std::string_view entry,
                                   std::string_view defaultValue) const = 0;
    virtual void writeInt(std::string_view section, std::string_view entry, int value) = 0;
    virtual void writeString(std::string_view section, std::string_view entry, std::string_view value) = 0;
};
