#include "text/PathUtil.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace jtext {
namespace {

bool endsWithSlash(std::string_view text) {
    return !text.empty() && text.back() == '/';
}

bool existsAt(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found &&
           !error;
}

}  // namespace

bool isAbsolutePath(std::string_view path) {
    return (!path.empty() && path.front() == '/') || path.find("://") != std::string_view::npos;
}

std::string folderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos)
        return std::string();
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

std::string joinFolderAndName(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!endsWithSlash(path))
        path.push_back('/');
    path.append(name);
    return path;
}

std::string relativePathFrom(std::string_view baseFile, std::string_view target) {
    // A backslash is an ordinary file-name character on Linux: only "/" separates folders.
    const std::string_view base = baseFile;
    const std::string_view to = target;
    const std::size_t baseSplit = base.rfind('/') + 1;  // 0 when there is no folder
    const std::size_t toSplit = to.rfind('/') + 1;
    std::string_view baseFolder = base.substr(0, baseSplit);
    std::string_view toFolder = to.substr(0, toSplit);
    const std::string_view toName = to.substr(toSplit);
    if (baseFolder == toFolder)
        return std::string(toName);
    // Drop the leading folders the two have in common. Linux file names differ by case, so the folders
    // are compared exactly: /a/B and /a/b are different folders.
    for (;;) {
        const std::size_t baseEnd = baseFolder.find('/');
        const std::size_t toEnd = toFolder.find('/');
        if (baseEnd == std::string_view::npos || toEnd == std::string_view::npos)
            break;
        if (baseFolder.substr(0, baseEnd) != toFolder.substr(0, toEnd))
            break;
        baseFolder.remove_prefix(baseEnd + 1);
        toFolder.remove_prefix(toEnd + 1);
    }
    std::string relative;
    for (const char c : baseFolder) {
        if (c == '/')
            relative += "../";
    }
    relative.append(toFolder);
    relative.append(toName);
    return relative;
}

std::optional<std::string> absolutePathFrom(std::string_view baseFile, std::string_view relative) {
    if (isAbsolutePath(relative))
        return std::string(relative);
    std::string folder = folderOf(baseFile);
    if (folder == "/")
        folder.clear();  // the steps up below count the root as the empty folder before the first "/"
    if (relative.find("../") == std::string_view::npos) {
        return joinFolderAndName(folder, relative);
    }
    std::string_view rest = relative;
    while (rest.substr(0, 3) == "../") {
        rest.remove_prefix(3);
        const std::size_t cut = folder.rfind('/');
        if (cut == std::string::npos)
            return std::nullopt;
        folder.resize(cut);
    }
    return folder + "/" + std::string(rest);
}

std::string uniqueFileName(std::string_view path) {
    std::string candidate(path);
    if (!existsAt(candidate))
        return candidate;
    const std::size_t nameStart = path.rfind('/') + 1;
    std::size_t dot = path.rfind('.');
    // A dot that starts the file name (".profile") belongs to the name, not to an extension.
    if (dot == std::string_view::npos || dot <= nameStart)
        dot = path.size();
    const std::string stem(path.substr(0, dot));
    const std::string extension(path.substr(dot));
    for (int number = 1;; ++number) {
        candidate = stem + "(" + std::to_string(number) + ")" + extension;
        if (!existsAt(candidate))
            return candidate;
    }
}

int makeDirectories(std::string_view path) {
    std::string folder(path);
    while (folder.size() > 1 && endsWithSlash(folder))
        folder.pop_back();
    if (folder.empty() || folder == "/")
        return 0;
    std::error_code error;
    if (std::filesystem::create_directory(folder, error))
        return 1;
    const std::size_t cut = folder.rfind('/');
    if (cut == std::string::npos || cut == 0)
        return 0;
    if (!makeDirectories(std::string_view(folder).substr(0, cut)))
        return 0;
    return std::filesystem::create_directory(folder, error) ? 1 : 0;
}

std::string applicationFolderPath(std::string_view fileName) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::string folder = error ? std::string(".") : executable.parent_path().string();
    return joinFolderAndName(folder, fileName);
}

std::string temporaryFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = tmpdir && *tmpdir ? tmpdir : "/tmp";
    while (folder.size() > 1 && endsWithSlash(folder))
        folder.pop_back();
    return folder;
}

}  // namespace jtext
