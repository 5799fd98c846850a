#include "platform/CTrash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "text/PathUtil.h"

namespace {

std::string systemError(int error) {
    return std::strerror(error);
}

bool isFolder(const std::string& path) {
    struct stat info{};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the folder and its missing parents, each with mode 0700; true when the folder is there.
bool makeFolders(const std::string& path) {
    if (path.empty() || path == "/" || isFolder(path)) {
        return !path.empty();
    }
    const std::string parent = jtext::folderOf(path);
    if (parent != path && !makeFolders(parent)) {
        return false;
    }
    return mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && isFolder(path));
}

// A trash folder with its "files" and "info" folders ready, and where its recorded paths start from.
struct TrashFolder {
    std::string folder;
    std::string pathBase;  // "" for the home trash (absolute paths); the mount point for a topdir trash
};

bool prepare(const std::string& folder) {
    return makeFolders(folder + "/files") && makeFolders(folder + "/info");
}

// The mount point of the file system that holds the folder: the highest folder on the same device.
std::string mountPointOf(std::string folder, dev_t device) {
    while (folder != "/") {
        const std::string parent = jtext::folderOf(folder);
        struct stat info{};
        if (stat(parent.c_str(), &info) != 0 || info.st_dev != device) {
            break;
        }
        folder = parent;
    }
    return folder;
}

// The trash of a mount point other than the home's, or nothing when it has none that can be used.
std::optional<TrashFolder> topdirTrash(const std::string& topdir) {
    const std::string uid = std::to_string(getuid());
    const std::string base = topdir == "/" ? std::string() : topdir;
    // An administrator's shared ".Trash" counts only as a real folder with the sticky bit, never a link.
    struct stat shared{};
    if (lstat((base + "/.Trash").c_str(), &shared) == 0 && S_ISDIR(shared.st_mode) &&
        (shared.st_mode & S_ISVTX) != 0) {
        const std::string folder = base + "/.Trash/" + uid;
        struct stat own{};
        if ((lstat(folder.c_str(), &own) != 0 || (S_ISDIR(own.st_mode) && own.st_uid == getuid())) &&
            prepare(folder)) {
            return TrashFolder{folder, topdir};
        }
    }
    const std::string folder = base + "/.Trash-" + uid;
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat own{};
    if (lstat(folder.c_str(), &own) != 0 || !S_ISDIR(own.st_mode) || own.st_uid != getuid() ||
        !prepare(folder)) {
        return std::nullopt;
    }
    return TrashFolder{folder, topdir};
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool writeAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t written = write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string CTrash::homeTrash() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::string(dataHome) + "/Trash";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/Trash";
}

std::string CTrash::escapePath(std::string_view path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                           byte == '~' || byte == '/';
        if (plain) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        }
    }
    return escaped;
}

std::optional<CTrashError> CTrash::moveToTrash(std::string_view pathView) {
    std::string path(pathView);
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    const auto fail = [&path](std::string what) { return CTrashError{std::move(what), path}; };
    if (path.empty() || path[0] != '/') {
        return fail("not an absolute path");
    }
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.empty() || name == "." || name == "..") {
        return fail("not a file name");
    }
    struct stat file{};
    if (lstat(path.c_str(), &file) != 0) {
        return fail(systemError(errno));
    }

    // The home trash when the file lives on its file system, else the trash of the file's own mount point.
    std::optional<TrashFolder> trash;
    const std::string home = homeTrash();
    struct stat homeInfo{};
    if (prepare(home) && stat(home.c_str(), &homeInfo) == 0 && homeInfo.st_dev == file.st_dev) {
        trash = TrashFolder{home, std::string()};
    } else {
        trash = topdirTrash(mountPointOf(jtext::folderOf(path), file.st_dev));
    }
    if (!trash) {
        return fail("no trash folder on the file's file system");
    }
    std::string recorded = path;
    if (!trash->pathBase.empty() && trash->pathBase != "/") {
        recorded = path.substr(trash->pathBase.size() + 1);
    } else if (trash->pathBase == "/") {
        recorded = path.substr(1);
    }
    const std::string info = "[Trash Info]\nPath=" + escapePath(recorded) + "\nDeletionDate=" + deletionDate() + "\n";

    // The info file is created exclusively first: it reserves the name among concurrent trashers.
    for (int number = 1;; ++number) {
        const std::string trashName = number == 1 ? name : name + "." + std::to_string(number);
        const std::string infoPath = trash->folder + "/info/" + trashName + ".trashinfo";
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return fail(systemError(errno));
        }
        const bool written = writeAll(fd, info);
        const bool closed = close(fd) == 0;
        const std::string target = trash->folder + "/files/" + trashName;
        struct stat taken{};
        if (written && closed && lstat(target.c_str(), &taken) == 0) {
            unlink(infoPath.c_str());
            continue;  // a file without its info file holds the name
        }
        if (!written || !closed) {
            const int error = errno;
            unlink(infoPath.c_str());
            return fail(systemError(error));
        }
        if (rename(path.c_str(), target.c_str()) != 0) {
            const int error = errno;
            unlink(infoPath.c_str());
            return fail(systemError(error));
        }
        return std::nullopt;
    }
}
