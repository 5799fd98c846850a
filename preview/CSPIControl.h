#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CHelperProcess.h"
#include "platform/CPcxDecoder.h"
#include "preview/CSPIPlugin.h"
#include "preview/CSPIProtocol.h"

// Why a plug-in was skipped: its path and what it did wrong.
struct CSPIProblem {
    std::string path;
    std::string what;
};

// The image plug-in host: one per process. Loads the import plug-ins of a folder, answers which
// extensions they read, and decodes a file by asking them in load order. Every plug-in call runs in a
// helper process (quillory-spi-host), started with the first call and kept for the next ones, each call
// with a time limit. A plug-in whose information calls fail, that hands back a picture whose sizes or
// blocks do not add up, or that crashes, exits or hangs in a call, is skipped from then on; its path is
// reported once (standard error, and problems()), and a crash or hang is also shown to the user.
class CSPIControl final {
public:
    // Results of getPicture.
    static constexpr int kSuccess = 0;
    static constexpr int kNotDecoded = 2;   // no plug-in could decode the file
    static constexpr int kReadFailed = 6;   // the file cannot be read, or the picture is too large
    static constexpr int kMissingArgument = 8;

    static constexpr std::size_t kHeadSize = CSPIProtocol::kHeadSize;
    static constexpr std::chrono::milliseconds kCallLimit{5000};
    static constexpr const char* kHelperName = "quillory-spi-host";

    static CSPIControl& instance();

    CSPIControl() = default;
    CSPIControl(const CSPIControl&) = delete;
    CSPIControl& operator=(const CSPIControl&) = delete;

    // Loads the plug-ins ("*.spi") of the folder that are import plug-ins and not loaded already (same
    // file name, ignoring case). Returns the number added.
    int scan(const std::string& folder);
    // Unloads every plug-in, stops the helper and forgets the problems reported (for a new start in tests).
    void unloadAll();

    // The number of pattern and description pairs of all loaded plug-ins.
    int formatTotal() const;
    // True when a plug-in declares the pattern "*" + extension (the extension with its dot), ignoring case.
    bool isSupportedExtension(std::string_view extension) const;
    // Decodes the file with the first plug-in that reads it; the picture as 32-bit pixels. `info`, when
    // given, is filled by that plug-in's GetPictureInfo (its text block is not passed on: `info->info` is
    // null).
    int getPicture(const std::string& path, CDecodedPicture& picture, SusiePictureInfo* info = nullptr);

    const std::vector<CSPIPlugin>& plugins() const { return m_plugins; }
    const std::string& folder() const { return m_folder; }
    int lastDecoder() const { return m_lastDecoder; }
    const std::vector<CSPIProblem>& problems() const { return m_problems; }

    // The helper program: by default the one beside the running program, else the one of the build folder.
    static std::string defaultHelperPath();
    void setHelperPath(const std::string& path) { m_helper.setExecutable(path); }
    std::string helperPath() const;
    // The time limit of one plug-in call (kCallLimit unless set).
    void setCallLimit(std::chrono::milliseconds limit) { m_callLimit = limit; }
    // The running helper's process id, or -1 when none runs.
    pid_t helperProcessId() const { return m_helper.pid(); }

private:
    // Reports a problem once per path: standard error and problems(), and the user when `userText` is given.
    void report(const std::string& path, const std::string& what, const std::string& userText = std::string());
    // Makes one plug-in call in the helper. Null when it did not answer as it should: the plug-in is then
    // skipped from now on and reported (or, when the helper does not start, the helper is).
    std::optional<CHelperProcess::Reply> call(const std::string& plugin, const CSPIProtocol::Request& request,
                                              const char* name);
    // Stops the helper after an answer that breaks the protocol, and skips and reports the plug-in.
    void brokenAnswer(const std::string& plugin, const char* name, const std::string& error);
    // Skips the plug-in from now on and reports it.
    void fault(const std::string& plugin, const std::string& what, const std::string& userText);
    // Copies a decoded picture out of the shared block that came with the answer (closing it).
    bool takePixels(const CSPIProtocol::PictureReply& reply, int descriptor, CDecodedPicture& picture,
                    std::string& error);

    std::vector<CSPIPlugin> m_plugins;
    std::string m_folder;
    unsigned m_typeMask = 1;  // import plug-ins
    int m_lastDecoder = -1;
    std::vector<CSPIProblem> m_problems;
    std::set<std::string> m_reported;
    std::set<std::string> m_faulty;  // paths of plug-ins skipped for the rest of the run
    CHelperProcess m_helper{defaultHelperPath()};
    std::chrono::milliseconds m_callLimit = kCallLimit;
};
