#include "desktop/CBrowserHostInstaller.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "desktop/CSessionFile.h"
#include "platform/CFolderCopy.h"
#include "platform/CSessionError.h"
#include "platform/CTemporaryFile.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kHostProgram = "quillory-browser-host";
// The Chromium family's configuration folders below $XDG_CONFIG_HOME; the first is always written.
constexpr const char* kChromiumFolders[] = {"chromium", "google-chrome", "BraveSoftware/Brave-Browser",
                                            "microsoft-edge", "vivaldi"};

std::string manifestName() {
    return std::string(CBrowserHostInstaller::kHostName) + ".json";
}

std::string firefoxManifest(const std::string& home) {
    return home + "/.mozilla/native-messaging-hosts/" + manifestName();
}

std::string chromiumManifest(const std::string& configHome, const char* browser) {
    return configHome + "/" + browser + "/NativeMessagingHosts/" + manifestName();
}

void addError(CBrowserHostInstaller::Result& result, const std::string& path, int error) {
    if (!result.error.empty())
        result.error += "\n";
    result.error += path + ": " + CFolderCopy::reasonOf(error);
}

// Writes `bytes` to `path` through a temporary file beside it, so a reader sees the old file or the new.
int writeAtomically(const std::string& path, const std::string& bytes) {
    std::error_code folderError;
    fs::create_directories(fs::path(path).parent_path(), folderError);
    if (folderError)
        return folderError.value();
    std::string temporary;
    const int fd = CTemporaryFile::create(path, mode_t{0644}, &temporary);
    if (fd < 0)
        return errno;
    std::size_t done = 0;
    int error = 0;
    while (done < bytes.size() && error == 0) {
        const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (wrote < 0 && errno != EINTR)
            error = errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
        ::unlink(temporary.c_str());
    return error;
}

// True when the manifest at `path` is ours and names a program that can run.
bool namesRunnableHost(const std::string& path) {
    const auto bytes = CSessionFile::read(path, 64 * 1024, nullptr);
    if (!bytes)
        return false;
    const QJsonObject manifest = QJsonDocument::fromJson(QByteArray::fromStdString(*bytes)).object();
    const std::string host = manifest.value("path").toString().toStdString();
    return manifest.value("name").toString() == QLatin1String(CBrowserHostInstaller::kHostName) &&
           !host.empty() && ::access(host.c_str(), X_OK) == 0;
}

}  // namespace

std::string CBrowserHostInstaller::manifestJson(const std::string& hostPath, bool firefox) {
    QJsonObject manifest{
        {"name", QLatin1String(kHostName)},
        {"description", QStringLiteral("Quillory: the page the browser shows, for adding it to a catalog")},
        {"path", QString::fromStdString(hostPath)},
        {"type", QStringLiteral("stdio")},
    };
    if (firefox)
        manifest.insert("allowed_extensions", QJsonArray{QLatin1String(kFirefoxExtensionId)});
    else
        manifest.insert("allowed_origins", QJsonArray{QLatin1String(kChromiumOrigin)});
    return QJsonDocument(manifest).toJson(QJsonDocument::Indented).toStdString();
}

CBrowserHostInstaller::Result CBrowserHostInstaller::install(const std::string& hostPath,
                                                             const std::string& home,
                                                             const std::string& configHome) {
    Result result;
    const auto write = [&](const std::string& path, bool firefox) {
        const int error = writeAtomically(path, manifestJson(hostPath, firefox));
        if (error == 0)
            result.written.push_back(path);
        else
            addError(result, path, error);
    };
    write(firefoxManifest(home), true);
    bool first = true;
    for (const char* browser : kChromiumFolders) {
        std::error_code ignored;
        if (first || fs::is_directory(configHome + "/" + browser, ignored))
            write(chromiumManifest(configHome, browser), false);
        first = false;
    }
    return result;
}

bool CBrowserHostInstaller::installed(const std::string& home, const std::string& configHome) {
    return namesRunnableHost(firefoxManifest(home)) ||
           namesRunnableHost(chromiumManifest(configHome, "chromium"));
}

std::string CBrowserHostInstaller::hostPath() {
    const std::string beside =
        (QCoreApplication::applicationDirPath() + QLatin1Char('/')).toStdString() + kHostProgram;
    if (::access(beside.c_str(), X_OK) == 0)
        return beside;
#ifdef QUILLORY_BROWSER_HOST_BUILD_PATH
    // Tests run from folders of their own inside the build folder.
    if (::access(QUILLORY_BROWSER_HOST_BUILD_PATH, X_OK) == 0)
        return QUILLORY_BROWSER_HOST_BUILD_PATH;
#endif
    return beside;
}

std::string CBrowserHostInstaller::dataPath(const std::string& name) {
    const std::string programFolder = QCoreApplication::applicationDirPath().toStdString();
    std::vector<std::string> candidates{programFolder + "/" + name,
                                        programFolder + "/../share/quillory/" + name,
                                        std::string(QUILLORY_DATA_INSTALL_DIR) + "/" + name};
#ifdef QUILLORY_BUILD_DIR
    candidates.push_back(std::string(QUILLORY_BUILD_DIR) + "/" + name);
#endif
    for (const std::string& candidate : candidates) {
        if (::access(candidate.c_str(), R_OK) == 0)
            return fs::path(candidate).lexically_normal().string();
    }
    return std::string();
}

std::string CBrowserHostInstaller::firefoxProgram() {
    for (const char* name : {"firefox-esr", "firefox"}) {
        const QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty())
            return found.toStdString();
    }
    return std::string();
}

CBrowserHostInstaller::Result CBrowserHostInstaller::copyExtension(const std::string& source,
                                                                   const std::string& destination) {
    Result result;
    const fs::path target(destination);
    const std::string parent = target.parent_path().string();
    std::error_code error;
    fs::create_directories(parent, error);
    if (error) {
        addError(result, parent, error.value());
        return result;
    }
    const std::string hidden = "." + target.filename().string() + "-new-" + std::to_string(::getpid());
    CFolderCopy copy(source, parent,
                     [&](int n) { return n == 1 ? hidden : hidden + "-" + std::to_string(n); });
    if (!copy.run() || !copy.failures().empty()) {
        for (const CCopyFailure& failure : copy.failures())
            result.error += (result.error.empty() ? "" : "\n") + failure.path + ": " + failure.what;
        if (!copy.copyPath().empty())
            fs::remove_all(copy.copyPath(), error);
        return result;
    }
    fs::remove_all(target, error);
    if (error || ::rename(copy.copyPath().c_str(), destination.c_str()) != 0) {
        addError(result, destination, error ? error.value() : errno);
        fs::remove_all(copy.copyPath(), error);
        return result;
    }
    result.written.push_back(destination);
    return result;
}
