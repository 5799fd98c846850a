#pragma once

// The freedesktop Trash (its layout version 1.0): files and folders are moved into a trash folder's
// "files" folder, and a "<name>.trashinfo" file in its "info" folder records where they came from and when,
// so that a file manager can list and restore them.
//
// Paths are bytes, as Linux file names are: a name that is not valid UTF-8 is trashed and recorded exactly
// (the recorded path is percent-encoded byte for byte). Qt's QFile::moveToTrash takes a QString, which
// cannot hold such a name, hence this layer of our own.
//
// Which trash: the home trash ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash) for a file on the same file
// system; otherwise the trash of the file's mount point, "$topdir/.Trash/$uid" when "$topdir/.Trash" is a
// real folder with the sticky bit, else "$topdir/.Trash-$uid". A file is never copied across file systems:
// without a usable trash on its own file system it is not trashed, and the failure says so.

#include <optional>
#include <string>
#include <string_view>

struct CTrashError {
    std::string what;  // what went wrong (the C library's text for a system error)
    std::string path;  // the file that was not trashed
};

class CTrash final {
public:
    // The home trash folder (not created).
    static std::string homeTrash();

    // Moves the file, folder or link (a link itself, not its target) at the absolute path into its trash.
    // Nothing on success; the file stays where it was on failure.
    static std::optional<CTrashError> moveToTrash(std::string_view path);

    // The path as a trash info file records it: every byte but the unreserved ASCII characters and "/"
    // written as %XX (upper-case hex).
    static std::string escapePath(std::string_view path);
};
