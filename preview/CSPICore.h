#pragma once

#include <string>
#include <vector>

#include "preview/SusiePlugin.h"

// One loaded image plug-in: the module, where it came from, its kind, the file patterns it declares and
// its entry points. Owns the module: destroying or clearing the object unloads it. The program itself never
// loads a plug-in: its helper process (CSPIHostServer) does, so that a plug-in that crashes, exits or hangs
// takes only the helper down.
class CSPICore final {
public:
    // Plug-in kinds, from the API version string.
    static constexpr int kImport = 1;         // "00IN"
    static constexpr int kImportMulti = 129;  // "00IM"

    CSPICore() = default;
    ~CSPICore();
    CSPICore(CSPICore&& other) noexcept;
    CSPICore& operator=(CSPICore&& other) noexcept;
    CSPICore(const CSPICore&) = delete;
    CSPICore& operator=(const CSPICore&) = delete;

    // Loads the module at `path` and reads its kind and patterns. False, with the reason in `why`, when it
    // does not load, exports no GetPluginInfo, or its information calls answer what no plug-in can (a
    // length beyond the buffer, no version); `reportable` then tells whether the reason is a fault worth
    // reporting (a module that is simply no plug-in is not).
    bool load(const std::string& path, std::string& why, bool& reportable);
    // Unloads the module and clears every field.
    void clear();

    static int kindFromVersion(const std::string& version);

    bool isLoaded() const { return m_module != nullptr; }
    const std::string& path() const { return m_path; }
    const std::string& fileName() const { return m_fileName; }
    int kind() const { return m_kind; }
    int formatCount() const { return static_cast<int>(m_patterns.size()); }
    const std::vector<std::string>& patterns() const { return m_patterns; }
    const std::vector<std::string>& descriptions() const { return m_descriptions; }

    SusieGetPluginInfo getPluginInfo() const { return m_getPluginInfo; }
    SusieIsSupported isSupported() const { return m_isSupported; }
    SusieGetPictureInfo getPictureInfo() const { return m_getPictureInfo; }
    SusieGetPicture getPicture() const { return m_getPicture; }

    // Asks GetPluginInfo for entry `number` with a buffer of `bufferLength` bytes. False when the plug-in
    // has no such entry, or answers with a length that does not fit the buffer (`broken` is then set).
    bool info(int number, int bufferLength, std::string& text, bool& broken) const;

private:
    void moveFrom(CSPICore& other) noexcept;

    void* m_module = nullptr;
    std::string m_path;
    std::string m_fileName;
    int m_kind = 0;
    std::vector<std::string> m_patterns;
    std::vector<std::string> m_descriptions;
    SusieGetPluginInfo m_getPluginInfo = nullptr;
    SusieIsSupported m_isSupported = nullptr;
    SusieGetPictureInfo m_getPictureInfo = nullptr;
    SusieGetPicture m_getPicture = nullptr;
    // Looked up and kept, never called.
    SusieGetPreview m_getPreview = nullptr;
    SusieGetArchiveInfo m_getArchiveInfo = nullptr;
    SusieGetFileInfo m_getFileInfo = nullptr;
    SusieGetFile m_getFile = nullptr;
    SusieConfigurationDlg m_configurationDlg = nullptr;
};
