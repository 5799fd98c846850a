#include "preview/CSPIControl.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/CSealedMemory.h"
#include "platform/CUserInterface.h"
#include "preview/CSPICore.h"

namespace {

constexpr int kHeaderOffset = 128;  // a picture behind a 128-byte header is tried second

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool endsWithSpi(const std::string& name) {
    return name.size() > 4 && lower(name.substr(name.size() - 4)) == ".spi";
}

std::string canonicalOr(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::canonical(path, ec);
    return ec ? path : canonical.string();
}

const char* kSkippedUntilRestart = "このプラグインは次に起動するまで使いません。";

}  // namespace

CSPIControl& CSPIControl::instance() {
    static CSPIControl host;
    return host;
}

std::string CSPIControl::defaultHelperPath() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::string beside = ec ? std::string(kHelperName) : (self.parent_path() / kHelperName).string();
    if (::access(beside.c_str(), X_OK) == 0)
        return beside;
#ifdef QUILLORY_SPI_HOST_BUILD_PATH
    // Tests and benchmarks run from folders of their own inside the build folder.
    if (::access(QUILLORY_SPI_HOST_BUILD_PATH, X_OK) == 0)
        return QUILLORY_SPI_HOST_BUILD_PATH;
#endif
    return beside;
}

std::string CSPIControl::helperPath() const {
    return m_helper.executable();
}

void CSPIControl::report(const std::string& path, const std::string& what, const std::string& userText) {
    if (!m_reported.insert(path).second)
        return;
    m_problems.push_back(CSPIProblem{path, what});
    std::fprintf(stderr, "quillory: image plug-in %s skipped: %s\n", path.c_str(), what.c_str());
    if (!userText.empty())
        CUserInterface::current().message(userText, MessageIcon::Warning);
}

void CSPIControl::fault(const std::string& plugin, const std::string& what, const std::string& userText) {
    m_faulty.insert(plugin);
    report(plugin, what, userText);
}

void CSPIControl::brokenAnswer(const std::string& plugin, const char* name, const std::string& error) {
    // A helper that answers out of turn may have been written over by the plug-in: it is not trusted again.
    m_helper.stop();
    fault(plugin, std::string("the answer to ") + name + " breaks the protocol: " + error,
          std::string("画像プラグインが不正な応答を返しました。") + kSkippedUntilRestart + "\n" + plugin);
}

void CSPIControl::unloadAll() {
    m_helper.stop();
    m_plugins.clear();
    m_folder.clear();
    m_lastDecoder = -1;
    m_problems.clear();
    m_reported.clear();
    m_faulty.clear();
}

std::optional<CHelperProcess::Reply> CSPIControl::call(const std::string& plugin, const CSPIProtocol::Request& request,
                                                       const char* name) {
    CHelperProcess::Reply reply =
        m_helper.call(CSPIProtocol::encode(request), CSPIProtocol::replyType(request.type), m_callLimit);
    switch (reply.outcome) {
    case CHelperProcess::Outcome::Answered:
        return reply;
    case CHelperProcess::Outcome::Crashed:
        fault(plugin, std::string("the plug-in ") + reply.detail + " in " + name,
              std::string("画像プラグインが異常終了しました。") + kSkippedUntilRestart + "\n" + plugin);
        break;
    case CHelperProcess::Outcome::TimedOut: {
        const long long seconds = (m_callLimit.count() + 999) / 1000;
        fault(plugin, std::string(name) + " " + reply.detail,
              "画像プラグインが" + std::to_string(seconds) + "秒以内に応答しませんでした。" + kSkippedUntilRestart +
                  "\n" + plugin);
        break;
    }
    case CHelperProcess::Outcome::Malformed:
        brokenAnswer(plugin, name, reply.detail);
        break;
    case CHelperProcess::Outcome::NotStarted:
        report(m_helper.executable(), "the plug-in helper does not start: " + reply.detail,
               "画像プラグインを実行する補助プログラムを起動できないため、画像プラグインを使えません。\n" +
                   m_helper.executable());
        break;
    }
    return std::nullopt;
}

int CSPIControl::scan(const std::string& folder) {
    std::string base = folder;
    std::replace(base.begin(), base.end(), '\\', '/');
    if (base.size() > 1 && base.back() != '/')
        base += '/';

    std::vector<std::string> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(base.empty() ? "." : base, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (endsWithSpi(name))
            files.push_back(name);
    }
    if (files.empty())
        return 0;
    std::sort(files.begin(), files.end());
    m_folder = folder;

    const std::size_t before = m_plugins.size();
    int added = 0;
    for (const std::string& name : files) {
        const std::string path = base + name;
        const std::string canonical = canonicalOr(path);
        const bool duplicate = std::any_of(m_plugins.begin(), m_plugins.begin() + static_cast<std::ptrdiff_t>(before),
                                           [&](const CSPIPlugin& loaded) { return lower(loaded.fileName()) == lower(name); });
        if (duplicate || m_faulty.count(canonical))
            continue;
        CSPIProtocol::Request request;
        request.type = CSPIProtocol::kLoad;
        request.path = canonical;
        const std::optional<CHelperProcess::Reply> reply = call(canonical, request, "loading");
        if (!reply)
            continue;
        CSPIProtocol::LoadReply loaded;
        if (auto error = CSPIProtocol::decode(reply->message, loaded)) {
            brokenAnswer(canonical, "loading", *error);
            continue;
        }
        if (!loaded.loaded) {
            if (loaded.reportable)
                report(path, loaded.why);
            continue;
        }
        if ((static_cast<unsigned>(loaded.kind) & m_typeMask) == 0)
            continue;
        m_plugins.emplace_back(canonical, name, loaded.kind, std::move(loaded.patterns), std::move(loaded.descriptions));
        ++added;
    }
    return added;
}

int CSPIControl::formatTotal() const {
    int total = 0;
    for (const CSPIPlugin& plugin : m_plugins)
        total += plugin.formatCount();
    return total;
}

bool CSPIControl::isSupportedExtension(std::string_view extension) const {
    const std::string wanted = "*" + lower(extension);
    for (const CSPIPlugin& plugin : m_plugins) {
        for (const std::string& pattern : plugin.patterns()) {
            if (lower(pattern) == wanted)
                return true;
        }
    }
    return false;
}

bool CSPIControl::takePixels(const CSPIProtocol::PictureReply& reply, int descriptor, CDecodedPicture& picture,
                             std::string& error) {
    const std::size_t count = static_cast<std::size_t>(reply.width) * static_cast<std::size_t>(reply.height);
    std::optional<CSealedMemory> block = CSealedMemory::open(descriptor, count * 4, error);
    if (!block)
        return false;
    picture = CDecodedPicture{};
    picture.width = reply.width;
    picture.height = reply.height;
    picture.sourceBitsPerPixel = reply.bitCount;
    // Copied a slice at a time, each slice given back once copied, into a vector reserved (not resized, so
    // its pages are touched only as slices arrive): the picture is never held twice.
    constexpr std::size_t kSlice = std::size_t{4} << 20;
    const auto* pixels = static_cast<const std::uint32_t*>(block->data());
    picture.pixels.reserve(count);
    for (std::size_t first = 0; first < count; first += kSlice / 4) {
        const std::size_t length = std::min(kSlice / 4, count - first);
        picture.pixels.insert(picture.pixels.end(), pixels + first, pixels + first + length);
        if (!block->release(first * 4, length * 4, error)) {
            picture = CDecodedPicture{};
            return false;
        }
    }
    return true;
}

int CSPIControl::getPicture(const std::string& path, CDecodedPicture& picture, SusiePictureInfo* info) {
    picture = CDecodedPicture{};
    if (path.empty())
        return kMissingArgument;
    // The bytes of the buffer beyond the end of a shorter file are zero.
    std::string head(kHeadSize, '\0');
    {
        std::ifstream file(path, std::ios::binary);
        if (!file)
            return kReadFailed;
        file.read(head.data(), static_cast<std::streamsize>(head.size()));
        if (file.bad())
            return kReadFailed;
    }

    for (std::size_t i = 0; i < m_plugins.size(); ++i) {
        const std::string& plugin = m_plugins[i].path();
        if (m_faulty.count(plugin))
            continue;
        CSPIProtocol::Request request;
        request.type = CSPIProtocol::kIsSupported;
        request.path = plugin;
        request.file = path;
        request.head = head;
        std::optional<CHelperProcess::Reply> reply = call(plugin, request, "IsSupported");
        if (!reply)
            continue;
        std::int32_t supported = 0;
        if (auto error = CSPIProtocol::decodeSupport(reply->message, supported)) {
            brokenAnswer(plugin, "IsSupported", *error);
            continue;
        }
        if (supported != 1)
            continue;

        request.type = CSPIProtocol::kGetPicture;
        request.head.clear();
        CSPIProtocol::PictureReply decoded;
        for (const int offset : {0, kHeaderOffset}) {
            request.offset = offset;
            reply = call(plugin, request, "GetPicture");
            if (!reply)
                break;
            const int descriptor = reply->attached;
            std::optional<std::string> error = CSPIProtocol::decode(reply->message, decoded);
            if (!error && decoded.picture != CSPIProtocol::Picture::Decoded && descriptor >= 0)
                error = "a shared block came with a picture that was not decoded";
            if (!error && decoded.picture == CSPIProtocol::Picture::Decoded) {
                std::string mapError;
                if (takePixels(decoded, descriptor, picture, mapError)) {
                    break;
                }
                error = mapError;
            } else if (descriptor >= 0) {
                ::close(descriptor);
            }
            if (error) {
                brokenAnswer(plugin, "GetPicture", *error);
                reply.reset();
                break;
            }
            // Like the plug-ins' own hosts: a picture that is not at offset 0 may be behind a 128-byte header.
            if (decoded.result == 0 || decoded.result == 1)
                break;
        }
        if (!reply || decoded.result != 0)
            continue;
        switch (decoded.picture) {
        case CSPIProtocol::Picture::Decoded:
        case CSPIProtocol::Picture::NotDecoded:
            break;
        case CSPIProtocol::Picture::Empty:
            picture = CDecodedPicture{};  // an empty picture: the caller says "読み込み失敗"
            break;
        case CSPIProtocol::Picture::TooLarge:
        case CSPIProtocol::Picture::NoMemory:
            picture = CDecodedPicture{};
            return kReadFailed;
        case CSPIProtocol::Picture::Unsupported:
            continue;
        case CSPIProtocol::Picture::Broken:
            // A picture that does not add up: the plug-in is not asked again.
            fault(plugin, decoded.fault, std::string());
            continue;
        }
        m_lastDecoder = static_cast<int>(i);
        if (info) {
            std::memset(info, 0, sizeof *info);
            request.type = CSPIProtocol::kGetPictureInfo;
            for (const int offset : {0, kHeaderOffset}) {
                request.offset = offset;
                reply = call(plugin, request, "GetPictureInfo");
                CSPIProtocol::InfoReply answer;
                if (!reply)
                    break;
                if (auto error = CSPIProtocol::decode(reply->message, answer)) {
                    brokenAnswer(plugin, "GetPictureInfo", *error);
                    break;
                }
                if (answer.result == 0) {
                    *info = answer.info;
                    break;
                }
            }
        }
        return kSuccess;
    }
    return kNotDecoded;
}
