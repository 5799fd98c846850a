#include "desktop/CShellOperations.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "model/CFileItem.h"
#include "platform/CFolderCopy.h"
#include "platform/CProfile.h"
#include "text/PathUtil.h"

namespace fs = std::filesystem;

namespace {

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

QString nativeToQString(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// True when `inner` is `outer` or lies below it (both absolute, compared as the file system resolves them).
bool isInside(const std::string& inner, const std::string& outer) {
    std::error_code error;
    const fs::path a = fs::weakly_canonical(inner, error);
    const fs::path b = fs::weakly_canonical(outer, error);
    if (error) {
        return false;
    }
    auto ai = a.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
        if (bi->empty()) {
            continue;  // the empty element after a trailing "/"
        }
        if (ai == a.end() || *ai != *bi) {
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray CShellOperations::fileUri(const std::string& path) {
    return QByteArrayLiteral("file://") +
           QByteArray::fromStdString(path).toPercentEncoding(QByteArrayLiteral("/"));
}

bool CShellOperations::openWithDesktop(const std::string& pathOrUrl, const std::function<void()>& failed) {
    if (pathOrUrl.empty()) {
        return false;
    }
    const QUrl url = pathOrUrl.find("://") != std::string::npos
                         ? QUrl(QString::fromStdString(pathOrUrl))
                         : fileUrl(pathOrUrl);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!failed || opener.isEmpty()) {
        return QDesktopServices::openUrl(url);
    }
    // Qt starts xdg-open detached and never learns that no application took the file; its exit status
    // says so. The process has no parent, so that closing the window does not end an application that
    // xdg-open runs in the foreground.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({QString::fromLatin1(url.toEncoded())});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, [process, failed](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) {
            failed();
        }
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::errorOccurred, [process, failed](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            failed();
            process->deleteLater();
        }
    });
    process->start();
    return true;
}

bool CShellOperations::openFolder(const std::string& folder, const CProfile& profile) {
    const QString program = QString::fromStdString(profile.readString("System", "FolderSoft", "")).trimmed();
    if (program.isEmpty()) {
        return openWithDesktop(folder);
    }
    if (profile.readInt("System", "FolderArg", 0) != 0) {
        return QProcess::startDetached(program, {nativeToQString(folder)});
    }
    return QProcess::startDetached(program, {}, nativeToQString(folder));
}

QString CShellOperations::startupId() {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    // The form launchers use: program-pid-host-_TIMEtime.
    return QStringLiteral("%1-%2-%3-_TIME%4")
        .arg(QCoreApplication::applicationName().isEmpty() ? QStringLiteral("quillory")
                                                           : QCoreApplication::applicationName())
        .arg(QCoreApplication::applicationPid())
        .arg(QString::fromLocal8Bit(host))
        .arg(QDateTime::currentMSecsSinceEpoch() & 0x7FFFFFFF);
}

void CShellOperations::callFileManager(FileManagerCall call, const std::string& path) {
    const std::string folder = jtext::folderOf(path);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openWithDesktop(folder);
        return;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(kFileManagerService), QString::fromLatin1(kFileManagerPath),
        QString::fromLatin1(kFileManagerService),
        call == FileManagerCall::ShowItems ? QStringLiteral("ShowItems") : QStringLiteral("ShowItemProperties"));
    message << QStringList{QString::fromLatin1(fileUri(path))} << startupId();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [folder](QDBusPendingCallWatcher* finished) {
        finished->deleteLater();
        if (finished->isError()) {
            openWithDesktop(folder);
        }
    });
}

QMimeData* CShellOperations::fileListData(const std::vector<std::string>& paths, bool cut) {
    QByteArray uriList;
    QByteArray gnome = cut ? QByteArrayLiteral("cut") : QByteArrayLiteral("copy");
    for (const std::string& path : paths) {
        const QByteArray uri = fileUri(path);
        uriList += uri + "\r\n";
        gnome += '\n' + uri;
    }
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), uriList);
    data->setData(QStringLiteral("x-special/gnome-copied-files"), gnome);
    if (cut) {
        data->setData(QStringLiteral("application/x-kde-cutselection"), QByteArrayLiteral("1"));
    }
    return data;
}

void CShellOperations::putFilesOnClipboard(const std::vector<std::string>& paths, bool cut) {
    QApplication::clipboard()->setMimeData(fileListData(paths, cut));
}

std::string CShellOperations::numberedName(const std::string& name, bool isFolder, int n) {
    const std::string number = "(" + std::to_string(n) + ")";
    const std::size_t dot = isFolder ? std::string::npos : name.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return name + number;
    }
    return name.substr(0, dot) + number + name.substr(dot);
}

std::vector<CShellFailure> CShellOperations::copyIntoFolder(const std::vector<std::string>& paths,
                                                            const std::string& folder,
                                                            std::vector<std::string>* copies) {
    std::vector<CShellFailure> failures;
    for (const std::string& source : paths) {
        struct stat info{};
        if (lstat(source.c_str(), &info) != 0) {
            failures.push_back({source, CFolderCopy::reasonOf(errno)});
            continue;
        }
        const bool isFolder = S_ISDIR(info.st_mode);
        if (isFolder && isInside(folder, source)) {
            failures.push_back({source, "フォルダをその中にコピーすることはできません"});
            continue;
        }
        const std::string name = nameOf(source);
        CFolderCopy copy(source, folder,
                         [&](int n) { return n == 1 ? name : numberedName(name, isFolder, n); });
        if (copy.run() && copies) {
            copies->push_back(copy.copyPath());
        }
        for (const CCopyFailure& failure : copy.failures()) {
            failures.push_back({failure.path, failure.what});
        }
    }
    return failures;
}

CShellOperations::RenameResult CShellOperations::rename(const std::string& path, const std::string& newName,
                                                        std::string& newPath, std::string& error) {
    if (!CFileItem::isPlainFileName(newName)) {
        return RenameResult::BadName;
    }
    if (newName == nameOf(path)) {
        newPath = path;
        return RenameResult::Unchanged;
    }
    newPath = jtext::joinFolderAndName(jtext::folderOf(path), newName);
    // RENAME_NOREPLACE makes the check and the rename one step; a file system without it gets the check
    // just before the rename.
    if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, newPath.c_str(), RENAME_NOREPLACE) == 0) {
        return RenameResult::Renamed;
    }
    if (errno == EEXIST) {
        return RenameResult::NameTaken;
    }
    if (errno == EINVAL || errno == ENOSYS) {
        struct stat taken{};
        if (lstat(newPath.c_str(), &taken) == 0) {
            return RenameResult::NameTaken;
        }
        if (::rename(path.c_str(), newPath.c_str()) == 0) {
            return RenameResult::Renamed;
        }
    }
    error = std::strerror(errno);
    return RenameResult::Failed;
}

std::vector<CShellFailure> CShellOperations::moveToTrash(const std::vector<std::string>& paths) {
    std::vector<CShellFailure> failures;
    for (const std::string& path : paths) {
        if (std::optional<CTrashError> failure = CTrash::moveToTrash(path)) {
            failures.push_back({failure->path, failure->what});
        }
    }
    return failures;
}
