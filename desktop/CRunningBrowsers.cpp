#include "desktop/CRunningBrowsers.h"

#include <fcntl.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <map>
#include <utility>

#include "desktop/CSessionFile.h"

namespace {

constexpr std::uint64_t kSmallFileLimit = 1 << 20;

using IniSections = std::vector<std::pair<std::string, std::map<std::string, std::string>>>;

// The sections of an INI file in order, with their keys; a missing file has none.
IniSections readIni(const std::string& path) {
    IniSections sections;
    const auto text = CSessionFile::read(path, kSmallFileLimit, nullptr);
    if (!text) {
        return sections;
    }
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find('\n', start);
        if (end == std::string::npos) {
            end = text->size();
        }
        std::string line = text->substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            sections.emplace_back(line.substr(1, line.size() - 2), std::map<std::string, std::string>());
        } else if (const auto equals = line.find('='); equals != std::string::npos && !sections.empty()) {
            sections.back().second[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return sections;
}

std::string valueOf(const std::map<std::string, std::string>& keys, const std::string& key) {
    const auto it = keys.find(key);
    return it == keys.end() ? std::string() : it->second;
}

std::string hostName() {
    char buffer[256] = {};
    return ::gethostname(buffer, sizeof buffer - 1) == 0 ? std::string(buffer) : std::string();
}

}  // namespace

std::vector<std::string> CRunningBrowsers::firefoxProfiles(const std::string& root) {
    std::vector<std::string> profiles;
    const auto add = [&](const std::string& path, bool relative) {
        if (path.empty()) {
            return;
        }
        const std::string full = relative && path.front() != '/' ? root + "/" + path : path;
        if (std::find(profiles.begin(), profiles.end(), full) == profiles.end()) {
            profiles.push_back(full);
        }
    };
    // installs.ini and the [Install...] sections name each installation's default profile by relative path.
    for (const auto& [name, keys] : readIni(root + "/installs.ini")) {
        add(valueOf(keys, "Default"), true);
    }
    const IniSections sections = readIni(root + "/profiles.ini");
    for (const auto& [name, keys] : sections) {
        if (name.rfind("Install", 0) == 0) {
            add(valueOf(keys, "Default"), true);
        }
    }
    for (const bool defaultsFirst : {true, false}) {
        for (const auto& [name, keys] : sections) {
            if (name.rfind("Profile", 0) == 0 && (valueOf(keys, "Default") == "1") == defaultsFirst) {
                add(valueOf(keys, "Path"), valueOf(keys, "IsRelative") != "0");
            }
        }
    }
    return profiles;
}

std::int64_t CRunningBrowsers::firefoxLockHolder(const std::string& profile) {
    // The "lock" link reads "address:+pid" while Firefox runs; a crashed Firefox leaves it behind, so the
    // process must exist. Firefox also holds a write lock on .parentlock, which sandboxed installs share.
    const std::string link = CSessionFile::linkTarget(profile + "/lock");
    if (const auto plus = link.rfind(":+"); plus != std::string::npos) {
        const std::int64_t pid = std::atoll(link.c_str() + plus + 2);
        if (CSessionFile::processExists(pid)) {
            return pid;
        }
    }
    const int fd = ::open((profile + "/.parentlock").c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    const bool held = ::fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
    ::close(fd);
    return held ? std::max<std::int64_t>(query.l_pid, 0) : -1;
}

std::int64_t CRunningBrowsers::chromiumLockHolder(const std::string& root) {
    // SingletonLock links to "hostname-pid"; a lock of another host or of a dead process is stale.
    const std::string link = CSessionFile::linkTarget(root + "/SingletonLock");
    const auto dash = link.rfind('-');
    if (dash == std::string::npos || link.substr(0, dash) != hostName()) {
        return -1;
    }
    const std::int64_t pid = std::atoll(link.c_str() + dash + 1);
    return CSessionFile::processExists(pid) ? pid : -1;
}

std::string CRunningBrowsers::chromiumProfile(const std::string& root) {
    std::string profile = "Default";
    if (const auto text = CSessionFile::read(root + "/Local State", 16 * kSmallFileLimit, nullptr)) {
        const QJsonObject state =
            QJsonDocument::fromJson(QByteArray::fromStdString(*text)).object().value(QLatin1String("profile")).toObject();
        const QString lastUsed = state.value(QLatin1String("last_used")).toString();
        // A profile name is one folder below the root, never a path.
        if (!lastUsed.isEmpty() && !lastUsed.contains(QLatin1Char('/')) && lastUsed != QLatin1String("..") &&
            lastUsed != QLatin1String(".")) {
            profile = lastUsed.toStdString();
        }
    }
    return root + "/" + profile;
}

std::vector<CRunningBrowsers::Browser> CRunningBrowsers::find(const std::string& home, const std::string& configHome) {
    std::vector<Browser> browsers;
    const std::string config = configHome.empty() ? home + "/.config" : configHome;

    const std::vector<std::string> firefoxRoots = {
        home + "/.mozilla/firefox", config + "/mozilla/firefox", home + "/snap/firefox/common/.mozilla/firefox",
        home + "/.var/app/org.mozilla.firefox/.mozilla/firefox",
        home + "/.var/app/org.mozilla.firefox/config/mozilla/firefox"};
    for (const std::string& root : firefoxRoots) {
        for (const std::string& profile : firefoxProfiles(root)) {
            const std::int64_t pid = firefoxLockHolder(profile);
            if (pid >= 0) {
                browsers.push_back({Kind::Firefox, "firefox", profile, pid});
            }
        }
    }

    const std::vector<std::pair<std::string, std::string>> chromiumRoots = {
        {"chromium", config + "/chromium"},
        {"google-chrome", config + "/google-chrome"},
        {"google-chrome", config + "/google-chrome-beta"},
        {"google-chrome", config + "/google-chrome-unstable"},
        {"brave", config + "/BraveSoftware/Brave-Browser"},
        {"microsoft-edge", config + "/microsoft-edge"},
        {"vivaldi", config + "/vivaldi"},
        {"chromium", home + "/snap/chromium/common/chromium"},
        {"chromium", home + "/.var/app/org.chromium.Chromium/config/chromium"},
        {"google-chrome", home + "/.var/app/com.google.Chrome/config/google-chrome"}};
    for (const auto& [name, root] : chromiumRoots) {
        const std::int64_t pid = chromiumLockHolder(root);
        if (pid >= 0) {
            browsers.push_back({Kind::Chromium, name, chromiumProfile(root), pid});
        }
    }
    return browsers;
}
