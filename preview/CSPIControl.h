#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CPcxDecoder.h"
#include "preview/CSPICore.h"

// Why a plug-in was skipped: its path and what it did wrong.
struct CSPIProblem {
    std::string path;
    std::string what;
};

// The image plug-in host: one per process. Loads the import plug-ins of a folder, answers which
// extensions they read, and decodes a file by asking them in load order. A plug-in whose information calls
// fail, or that hands back a picture whose sizes or blocks do not add up, is skipped from then on; its
// path is reported once (standard error, and problems()).
class CSPIControl final {
public:
    // Results of getPicture.
    static constexpr int kSuccess = 0;
    static constexpr int kNotDecoded = 2;   // no plug-in could decode the file
    static constexpr int kReadFailed = 6;   // the file cannot be read, or the picture is too large
    static constexpr int kMissingArgument = 8;

    static constexpr std::size_t kHeadSize = 2048;

    static CSPIControl& instance();

    CSPIControl() = default;
    CSPIControl(const CSPIControl&) = delete;
    CSPIControl& operator=(const CSPIControl&) = delete;

    // Loads the plug-ins ("*.spi") of the folder that are import plug-ins and not loaded already (same
    // file name, ignoring case). Returns the number added.
    int scan(const std::string& folder);
    // Unloads every plug-in and forgets the problems reported (for a new start in tests).
    void unloadAll();

    // The number of pattern and description pairs of all loaded plug-ins.
    int formatTotal() const;
    // True when a plug-in declares the pattern "*" + extension (the extension with its dot), ignoring case.
    bool isSupportedExtension(std::string_view extension) const;
    // Decodes the file with the first plug-in that reads it; the picture as 32-bit pixels. `info`, when
    // given, is filled by that plug-in's GetPictureInfo (its text block is freed here).
    int getPicture(const std::string& path, CDecodedPicture& picture, SusiePictureInfo* info = nullptr);

    const std::vector<CSPICore>& plugins() const { return m_plugins; }
    const std::string& folder() const { return m_folder; }
    int lastDecoder() const { return m_lastDecoder; }
    const std::vector<CSPIProblem>& problems() const { return m_problems; }

private:
    void report(const std::string& path, const std::string& what);
    enum class Conversion { Done, TooLarge, Unsupported, Broken };
    // Checks the picture a plug-in handed back and converts it. A picture of more than 1 GiB is refused
    // without blaming the plug-in; one whose sizes or blocks do not add up is Broken, with `fault` saying why.
    static Conversion convertPicture(void* bitmapInfo, void* bitmapBits, CDecodedPicture& picture, std::string& fault);

    std::vector<CSPICore> m_plugins;
    std::string m_folder;
    unsigned m_typeMask = 1;  // import plug-ins
    int m_lastDecoder = -1;
    std::vector<CSPIProblem> m_problems;
    std::set<std::string> m_reported;
    std::set<std::string> m_faulty;  // paths of plug-ins skipped since they handed back a broken picture
};
