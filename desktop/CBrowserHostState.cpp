#include "desktop/CBrowserHostState.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "desktop/CSessionFile.h"
#include "platform/CSessionError.h"
#include "platform/CTemporaryFile.h"

namespace {

constexpr const char* kPrefix = "browser-";
constexpr const char* kSuffix = ".json";

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A folder of this user's, that nobody else may enter and that is no symbolic link; created when missing.
bool makePrivateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

// $XDG_RUNTIME_DIR when it is set to a folder of this user's, else "".
std::string runtimeFolder() {
    const char* value = std::getenv("XDG_RUNTIME_DIR");
    if (value == nullptr || value[0] != '/')
        return std::string();
    struct stat info {};
    if (::stat(value, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return std::string();
    return value;
}

// The state folder to use, whether or not it is usable.
std::string folderToUse() {
    const std::string runtime = runtimeFolder();
    return runtime.empty() ? "/tmp/quillory-" + std::to_string(::getuid()) : runtime + "/quillory";
}

// The host pid in a state file's name ("browser-123.json"), or -1 for any other name.
std::int64_t hostPidOf(const std::string& name) {
    const std::size_t prefix = std::strlen(kPrefix), suffix = std::strlen(kSuffix);
    if (name.size() <= prefix + suffix || name.compare(0, prefix, kPrefix) != 0 ||
        name.compare(name.size() - suffix, suffix, kSuffix) != 0)
        return -1;
    const std::string digits = name.substr(prefix, name.size() - prefix - suffix);
    if (digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::stoll(digits);
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool fail(std::string* error, const std::string& what) {
    if (error)
        *error = what;
    return false;
}

// A whole number that a double holds exactly, from a JSON value; nullopt for anything else.
std::optional<std::int64_t> wholeNumber(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    constexpr double kLimit = 9007199254740992.0;  // 2^53
    if (!(number >= -kLimit && number <= kLimit) ||
        number != static_cast<double>(static_cast<std::int64_t>(number)))
        return std::nullopt;
    return static_cast<std::int64_t>(number);
}

}  // namespace

std::string CBrowserHostState::folder() {
    const std::string path = folderToUse();
    return makePrivateFolder(path) ? path : std::string();
}

std::string CBrowserHostState::ownPath() {
    const std::string base = folder();
    return base.empty() ? base : base + "/" + kPrefix + std::to_string(::getpid()) + kSuffix;
}

std::string CBrowserHostState::toJson(const Page& page) {
    QJsonArray pids;
    for (const std::int64_t pid : page.pids)
        pids.append(static_cast<double>(pid));
    const QJsonObject object{
        {"url", QString::fromStdString(page.url)},
        {"title", QString::fromStdString(page.title)},
        {"loading", page.loading},
        {"incognito", page.incognito},
        {"time", static_cast<double>(page.timeMs)},
        {"received", static_cast<double>(page.receivedMs)},
        {"host", static_cast<double>(page.hostPid)},
        {"pids", pids},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

bool CBrowserHostState::write(const Page& page, std::string* error) {
    const std::string path = ownPath();
    if (path.empty())
        return fail(error, folderToUse() + ": not a folder of this user's that only this user may enter");
    std::string temporary;
    const int fd = CTemporaryFile::create(path, mode_t{0600}, &temporary);
    if (fd < 0)
        return fail(error, path + ": cannot create a temporary file: " + std::strerror(errno));
    const bool written = writeAll(fd, toJson(page));
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(temporary.c_str());
        return fail(error, temporary + ": " + std::strerror(written ? errno : writeError));
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        return fail(error, path + ": " + std::strerror(renameError));
    }
    return true;
}

void CBrowserHostState::remove() {
    const std::string path = ownPath();
    if (!path.empty())
        ::unlink(path.c_str());
}

std::optional<CBrowserHostState::Page> CBrowserHostState::readFile(const std::string& path,
                                                                   std::string* error) {
    CSessionError readError;
    const std::optional<std::string> bytes = CSessionFile::read(path, kMaxFileSize, &readError);
    if (!bytes) {
        fail(error, readError.message());
        return std::nullopt;
    }
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(*bytes), &parseError);
    if (!document.isObject()) {
        fail(error, path + ": not a JSON object" +
                        (parseError.error != QJsonParseError::NoError
                             ? " (" + parseError.errorString().toStdString() + ")"
                             : std::string()));
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    Page page;
    const auto time = wholeNumber(object.value("time"));
    const auto received = wholeNumber(object.value("received"));
    const auto host = wholeNumber(object.value("host"));
    if (!object.value("url").isString() || !object.value("title").isString() ||
        !object.value("loading").isBool() || !object.value("incognito").isBool() || !time || !received ||
        !host || !object.value("pids").isArray()) {
        fail(error, path + ": a field is missing or of the wrong type");
        return std::nullopt;
    }
    page.url = object.value("url").toString().toStdString();
    page.title = object.value("title").toString().toStdString();
    page.loading = object.value("loading").toBool();
    page.incognito = object.value("incognito").toBool();
    page.timeMs = *time;
    page.receivedMs = *received;
    page.hostPid = *host;
    for (const QJsonValue& value : object.value("pids").toArray()) {
        const auto pid = wholeNumber(value);
        if (!pid) {
            fail(error, path + ": a process id that is not a whole number");
            return std::nullopt;
        }
        page.pids.push_back(*pid);
    }
    return page;
}

std::optional<CBrowserHostState::Page> CBrowserHostState::readFor(std::int64_t browserPid) {
    const std::string base = folder();
    DIR* dir = base.empty() ? nullptr : ::opendir(base.c_str());
    if (dir == nullptr)
        return std::nullopt;
    std::optional<Page> newest;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const std::int64_t hostPid = hostPidOf(name);
        if (hostPid <= 0)
            continue;
        const std::string path = base + "/" + name;
        if (!CSessionFile::processExists(hostPid)) {
            const std::int64_t modified = CSessionFile::modifiedNs(path);
            if (modified >= 0 && nowMs() - modified / 1000000 > kStaleMs)
                ::unlink(path.c_str());
            continue;
        }
        std::optional<Page> page = readFile(path, nullptr);
        if (!page || page->hostPid != hostPid)
            continue;
        const bool matches = std::find(page->pids.begin(), page->pids.end(), browserPid) != page->pids.end();
        if (matches && (!newest || page->receivedMs > newest->receivedMs))
            newest = std::move(page);
    }
    ::closedir(dir);
    return newest;
}
