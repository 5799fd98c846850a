#include "desktop/CChromiumSessionReader.h"

#include <dirent.h>

#include <memory>

#include "desktop/CSessionFile.h"
#include "platform/CSnssReader.h"

namespace {

constexpr std::uint64_t kMaxSessionFile = 256ull << 20;
constexpr std::int64_t kSameWrite = 1000000000;  // 1 s in nanoseconds

struct CloseDir {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

std::string CChromiumSessionReader::newestSessionFile(const std::string& folder) {
    std::unique_ptr<DIR, CloseDir> dir(::opendir(folder.c_str()));
    if (!dir) {
        return {};
    }
    std::string newest;
    std::int64_t newestTime = -1;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name.rfind("Session_", 0) != 0) {
            continue;
        }
        const std::string path = folder + "/" + name;
        const std::int64_t time = CSessionFile::modifiedNs(path);
        // Equal times: the later name, whose number is the later start.
        if (time > newestTime || (time == newestTime && path > newest)) {
            newest = path;
            newestTime = time;
        }
    }
    return newest;
}

std::optional<CBrowserSession> CChromiumSessionReader::readProfile(const std::string& profile, CSessionError* error) {
    const auto fail = [&](const std::string& path, std::string what) -> std::optional<CBrowserSession> {
        if (error) {
            *error = CSessionError{path, -1, std::move(what)};
        }
        return std::nullopt;
    };
    const std::string plain = newestSessionFile(profile + "/Sessions");
    const std::string encrypted = newestSessionFile(profile + "/Sessions_Encrypted");
    // Recent versions write each change to both folders at once; a plain file left behind by the
    // encrypted one (older by more than a moment) would show an old page.
    if (!encrypted.empty() &&
        (plain.empty() || CSessionFile::modifiedNs(encrypted) > CSessionFile::modifiedNs(plain) + kSameWrite)) {
        return fail(encrypted, "the browser keeps its session encrypted");
    }
    if (plain.empty()) {
        return fail(profile + "/Sessions", "no session file");
    }
    const auto bytes = CSessionFile::read(plain, kMaxSessionFile, error);
    if (!bytes) {
        return std::nullopt;
    }
    return CSnssReader(*bytes, plain).read(error);
}
