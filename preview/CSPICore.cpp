#include "preview/CSPICore.h"

#include <dlfcn.h>

#include <filesystem>
#include <utility>

namespace {

// A plug-in that keeps answering is cut off here: no real plug-in declares this many formats.
constexpr int kMaxFormats = 256;
constexpr int kVersionBuffer = 9;
constexpr int kPatternBuffer = 256;

template <typename Function>
Function symbol(void* module, const char* name) {
    return reinterpret_cast<Function>(dlsym(module, name));
}

}  // namespace

CSPICore::~CSPICore() {
    clear();
}

CSPICore::CSPICore(CSPICore&& other) noexcept {
    moveFrom(other);
}

CSPICore& CSPICore::operator=(CSPICore&& other) noexcept {
    if (this != &other) {
        clear();
        moveFrom(other);
    }
    return *this;
}

void CSPICore::moveFrom(CSPICore& other) noexcept {
    m_module = std::exchange(other.m_module, nullptr);
    m_path = std::move(other.m_path);
    m_fileName = std::move(other.m_fileName);
    m_kind = std::exchange(other.m_kind, 0);
    m_patterns = std::move(other.m_patterns);
    m_descriptions = std::move(other.m_descriptions);
    m_getPluginInfo = std::exchange(other.m_getPluginInfo, nullptr);
    m_isSupported = std::exchange(other.m_isSupported, nullptr);
    m_getPictureInfo = std::exchange(other.m_getPictureInfo, nullptr);
    m_getPicture = std::exchange(other.m_getPicture, nullptr);
    m_getPreview = std::exchange(other.m_getPreview, nullptr);
    m_getArchiveInfo = std::exchange(other.m_getArchiveInfo, nullptr);
    m_getFileInfo = std::exchange(other.m_getFileInfo, nullptr);
    m_getFile = std::exchange(other.m_getFile, nullptr);
    m_configurationDlg = std::exchange(other.m_configurationDlg, nullptr);
    other.clear();
}

void CSPICore::clear() {
    if (m_module)
        dlclose(m_module);
    m_module = nullptr;
    m_path.clear();
    m_fileName.clear();
    m_kind = 0;
    m_patterns.clear();
    m_descriptions.clear();
    m_getPluginInfo = nullptr;
    m_isSupported = nullptr;
    m_getPictureInfo = nullptr;
    m_getPicture = nullptr;
    m_getPreview = nullptr;
    m_getArchiveInfo = nullptr;
    m_getFileInfo = nullptr;
    m_getFile = nullptr;
    m_configurationDlg = nullptr;
}

int CSPICore::kindFromVersion(const std::string& version) {
    static const std::pair<const char*, int> kKinds[] = {
        {"00IN", 1}, {"00IM", 129}, {"00AN", 2}, {"00AM", 130}, {"00XN", 4}, {"00XM", 132}, {"00CN", 16}, {"00EN", 32},
    };
    for (const auto& [name, kind] : kKinds) {
        if (version == name)
            return kind;
    }
    return 0;
}

bool CSPICore::info(int number, int bufferLength, std::string& text, bool& broken) const {
    text.clear();
    if (!m_getPluginInfo)
        return false;
    // One byte more than the plug-in is told, always zero, so that an unterminated answer stays bounded.
    std::vector<char> buffer(static_cast<std::size_t>(bufferLength) + 1, '\0');
    const int written = m_getPluginInfo(number, buffer.data(), bufferLength);
    if (written <= 0)
        return false;
    if (written > bufferLength) {
        broken = true;
        return false;
    }
    text.assign(buffer.data(), static_cast<std::size_t>(written));
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return true;
}

bool CSPICore::load(const std::string& path, std::string& why, bool& reportable) {
    clear();
    reportable = false;
    m_module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_module) {
        const char* error = dlerror();
        why = error ? error : "the module does not load";
        reportable = true;
        return false;
    }
    m_getPluginInfo = symbol<SusieGetPluginInfo>(m_module, "GetPluginInfo");
    if (!m_getPluginInfo) {
        why = "the module exports no GetPluginInfo";
        clear();
        return false;
    }
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::canonical(path, ec);
    m_path = ec ? path : canonical.string();
    m_fileName = std::filesystem::path(path).filename().string();
    m_isSupported = symbol<SusieIsSupported>(m_module, "IsSupported");
    m_getPictureInfo = symbol<SusieGetPictureInfo>(m_module, "GetPictureInfo");
    m_getPicture = symbol<SusieGetPicture>(m_module, "GetPicture");
    m_getPreview = symbol<SusieGetPreview>(m_module, "GetPreview");
    m_getArchiveInfo = symbol<SusieGetArchiveInfo>(m_module, "GetArchiveInfo");
    m_getFileInfo = symbol<SusieGetFileInfo>(m_module, "GetFileInfo");
    m_getFile = symbol<SusieGetFile>(m_module, "GetFile");
    m_configurationDlg = symbol<SusieConfigurationDlg>(m_module, "ConfigurationDlg");

    bool broken = false;
    std::string version;
    if (!info(0, kVersionBuffer, version, broken)) {
        why = broken ? "GetPluginInfo(0) answers more than its buffer holds" : "GetPluginInfo(0) gives no API version";
        reportable = true;
        clear();
        return false;
    }
    m_kind = kindFromVersion(version);

    int pairs = 0;
    std::string text;
    while (pairs < kMaxFormats && info(2 * pairs + 2, kPatternBuffer, text, broken))
        ++pairs;
    for (int i = 0; i < pairs && !broken; ++i) {
        std::string pattern;
        std::string description;
        info(2 * i + 2, kPatternBuffer, pattern, broken);
        info(2 * i + 3, kPatternBuffer, description, broken);
        m_patterns.push_back(pattern);
        m_descriptions.push_back(description);
    }
    if (broken) {
        why = "GetPluginInfo answers more than its buffer holds";
        reportable = true;
        clear();
        return false;
    }
    return true;
}
