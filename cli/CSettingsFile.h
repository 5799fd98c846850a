#pragma once

#include <string>

#include "platform/CMemoryProfile.h"

// The user's settings file as the application writes it (~/.config/Vemto/Quillory.conf, or below
// $XDG_CONFIG_HOME): an INI file of sections and entries. qlry only reads it.
class CSettingsFile final {
public:
    // The path of the user's settings file.
    static std::string defaultPath();
    // Loads the entries of the file into the profile; a missing file leaves it empty. An entry whose value
    // is a whole number is readable as an int as well.
    static void load(const std::string& path, CMemoryProfile& profile);
};
