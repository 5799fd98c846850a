#pragma once

// Path helpers. The separator is "/"; a path is absolute when it starts with "/" or contains "://".

#include <optional>
#include <string>
#include <string_view>

namespace jtext {

bool isAbsolutePath(std::string_view path);

// The folder of `path`: everything before its last "/", "/" for a path right below the root ("/x"), and ""
// when the path holds no "/". The one answer to "which folder holds this" across the code.
std::string folderOf(std::string_view path);

// folder + "/" + name ("/" not doubled); for a URL folder (containing "://") the same with "/".
std::string joinFolderAndName(std::string_view folder, std::string_view name);

// The path of `target` relative to the folder of the file `baseFile`: "x.txt" in the same folder,
// otherwise "../" for each folder level of the base left after the common leading folders (compared
// exactly, as Linux file names are), then the rest of the target.
std::string relativePathFrom(std::string_view baseFile, std::string_view target);

// The absolute path of `relative` taken from the folder of `baseFile`; nothing when the "../" steps leave
// the base folder (the caller tells the user).
std::optional<std::string> absolutePathFrom(std::string_view baseFile, std::string_view relative);

// The path itself when nothing exists there, else the first of name(1).ext, name(2).ext, ... that is free.
std::string uniqueFileName(std::string_view path);

// Creates the folder and any missing parents: 1 when created, 0 when not (the root is never created).
int makeDirectories(std::string_view path);

// The folder of the running executable, "/", then the name.
std::string applicationFolderPath(std::string_view fileName);

// The system's temporary folder (TMPDIR or /tmp), without a trailing "/".
std::string temporaryFolder();

}  // namespace jtext
