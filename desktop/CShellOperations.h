#pragma once

// What the item list does with the files behind its items through the desktop: open them, show them in
// the file manager, put them on the clipboard, copy them into a folder, rename them and move them to the
// Trash. Paths are the model's native bytes (std::string); a file name that is not valid UTF-8 keeps its
// bytes wherever a byte form exists (URIs, the clipboard, copies, the Trash).

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>
#include <string>
#include <vector>

#include "platform/CTrash.h"

class CProfile;
class QMimeData;

// A file operation that failed: the file and what went wrong.
struct CShellFailure {
    std::string path;
    std::string what;
};

class CShellOperations final {
public:
    CShellOperations() = delete;

    // "file://" and the path percent-encoded byte for byte ("/" and unreserved characters kept), as
    // g_filename_to_uri writes it; so "#", "%", spaces, newlines and bytes that are not UTF-8 survive.
    static QByteArray fileUri(const std::string& path);
    static QUrl fileUrl(const std::string& path) { return QUrl::fromEncoded(fileUri(path)); }

    // ---- open ----
    // Opens a file or a URL with the desktop's default application. False when nothing could open it. With
    // `failed`, the desktop's opener (xdg-open) is run and `failed` is called later when it reports that no
    // application could open the file.
    static bool openWithDesktop(const std::string& pathOrUrl, const std::function<void()>& failed = {});
    // Opens a folder: with the program of the "System" setting "FolderSoft" when one is set (with
    // "FolderArg" non-zero the folder is its one argument, else the folder is its working directory and it
    // gets no argument), otherwise with the desktop's file manager. False when nothing could be started.
    static bool openFolder(const std::string& folder, const CProfile& profile);

    // ---- the file manager over D-Bus (org.freedesktop.FileManager1) ----
    static constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
    static constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
    enum class FileManagerCall { ShowItems, ShowItemProperties };
    // Asks the file manager to select the file in its folder (ShowItems) or to show its properties
    // (ShowItemProperties), with the file's URI and a startup id. The call does not block: when no file
    // manager answers (no session bus, no such service, an error reply) the file's folder is opened
    // instead.
    static void callFileManager(FileManagerCall call, const std::string& path);
    // The startup-notification id passed along, so that the file manager's window may take the focus.
    static QString startupId();

    // ---- clipboard ----
    // The file list as the desktop's file managers read it: "text/uri-list" (URIs, each followed by CR LF),
    // "x-special/gnome-copied-files" ("copy" or "cut", then one URI a line; Nautilus, Thunar, Nemo) and for
    // a cut "application/x-kde-cutselection" "1" (Dolphin). No text form, so a paste into a text field
    // does not take the paths.
    static QMimeData* fileListData(const std::vector<std::string>& paths, bool cut);
    // Replaces the clipboard's contents with the file list.
    static void putFilesOnClipboard(const std::vector<std::string>& paths, bool cut);

    // ---- copy into a folder ----
    // The name of the n-th copy of a file name (n from 2 on): the number in parentheses goes before the
    // extension, "name(2).ext"; a name without extension, a name starting with its only dot (".profile")
    // and a folder's name take it at the end, "name(2)".
    static std::string numberedName(const std::string& name, bool isFolder, int n);
    // Copies each file, folder (with everything below it) or symbolic link (as a link) into the folder under
    // its own name, or under the first numbered name that is free: nothing is ever overwritten, and a copy
    // shows under its name only once it is whole (see CFolderCopy). A folder is never copied into itself.
    // The copies made (full paths) are appended to `copies`; the failures are returned: one per source that
    // was not copied, with the reason, and one per special file left out of a folder's copy.
    static std::vector<CShellFailure> copyIntoFolder(const std::vector<std::string>& paths,
                                                     const std::string& folder, std::vector<std::string>* copies);

    // ---- rename ----
    enum class RenameResult { Renamed, Unchanged, BadName, NameTaken, Failed };
    // Renames the file or folder within its folder. Refuses an empty name, "." and "..", a name with "/"
    // (BadName) and a name that exists (NameTaken, checked by the rename itself where the file system
    // allows, so that no file is ever replaced). `newPath` gets the new full path, `error` the system's
    // text for Failed.
    static RenameResult rename(const std::string& path, const std::string& newName, std::string& newPath,
                               std::string& error);

    // ---- Trash ----
    // Moves each file to the freedesktop Trash (see CTrash); the files that could not be trashed are
    // returned with their paths.
    static std::vector<CShellFailure> moveToTrash(const std::vector<std::string>& paths);
};
