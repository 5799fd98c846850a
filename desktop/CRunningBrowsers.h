#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Finds the browsers that run for this user, from the locks they hold in their profile folders: Firefox
// (profiles named by installs.ini and profiles.ini under ~/.mozilla/firefox, ~/.config/mozilla/firefox and
// the snap and flatpak folders; the profile whose lock is held) and the Chromium family (user data folders
// with a live SingletonLock; the profile that Local State names as last used).
class CRunningBrowsers final {
public:
    enum class Kind { Firefox, Chromium };
    struct Browser {
        Kind kind = Kind::Firefox;
        std::string name;     // "firefox", "chromium", "google-chrome", ...: matched against window classes
        std::string profile;  // the profile folder that holds the session
        std::int64_t pid = -1;
    };

    // `home` and `configHome` stand for $HOME and $XDG_CONFIG_HOME.
    static std::vector<Browser> find(const std::string& home, const std::string& configHome);

    // The profile folders that the Firefox folder `root` names, the install defaults first.
    static std::vector<std::string> firefoxProfiles(const std::string& root);
    // The pid holding the lock of the Firefox profile `profile`, or -1 when it is not locked.
    static std::int64_t firefoxLockHolder(const std::string& profile);
    // The pid of the browser holding the Chromium user data folder `root`, or -1.
    static std::int64_t chromiumLockHolder(const std::string& root);
    // The profile folder that the Chromium user data folder `root` uses.
    static std::string chromiumProfile(const std::string& root);
};
