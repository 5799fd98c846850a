#pragma once

#include <string>
#include <vector>

// Registers quillory-browser-host with the browsers of this user: writes the host's manifest where Firefox
// (~/.mozilla/native-messaging-hosts) and the Chromium family
// ($XDG_CONFIG_HOME/<browser>/NativeMessagingHosts) look for it. Firefox's and Chromium's are always written;
// those of Google Chrome, Brave, Edge and Vivaldi only when the browser's own configuration folder exists.
// Also copies the extension to a folder of the user's, where its path stays the same for the browsers that
// load it from there.
class CBrowserHostInstaller final {
public:
    static constexpr const char* kHostName = "quillory_browser_host";
    static constexpr const char* kFirefoxExtensionId = "capture@quillory.vemto";
    static constexpr const char* kChromiumOrigin = "chrome-extension://dffjgpdkoohklfoakckfcclofjjjoako/";

    struct Result {
        std::vector<std::string> written;  // the files (or folder) written
        std::string error;                 // what failed, with its path; "" on success
        bool ok() const { return error.empty(); }
    };

    // Writes the manifests naming `hostPath` (absolute); `home` and `configHome` stand for $HOME and
    // $XDG_CONFIG_HOME. Goes on past a manifest that cannot be written and names each that failed.
    static Result install(const std::string& hostPath, const std::string& home,
                          const std::string& configHome);
    // True when Firefox's or Chromium's manifest is there and names an executable that exists.
    static bool installed(const std::string& home, const std::string& configHome);

    // The host program: beside the running program, else the one of the build folder.
    static std::string hostPath();

    // A file or folder the program ships ("browser-extension", "quillory-capture.xpi"): beside the program,
    // in its installed data folder, or in the build folder; "" when it is nowhere.
    static std::string dataPath(const std::string& name);
    // The first of firefox-esr and firefox found on the PATH; "" when neither is.
    static std::string firefoxProgram();

    // Replaces `destination` with a copy of the folder `source`; the copy is made beside it and renamed.
    static Result copyExtension(const std::string& source, const std::string& destination);

    // The manifest of Firefox or of the Chromium family.
    static std::string manifestJson(const std::string& hostPath, bool firefox);
};
