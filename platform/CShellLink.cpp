#include "platform/CShellLink.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/CFileIdentity.h"
#include "platform/CMovedFileSearch.h"
#include "platform/CShellLinkReader.h"
#include "platform/CShellLinkWriter.h"
#include "platform/CTemporaryFile.h"
#include "platform/ShellLinkFormat.h"

namespace fs = std::filesystem;

namespace {

void report(CShellLinkError* error, std::string what, const std::string& path, std::int64_t offset = -1) {
    if (error != nullptr) {
        *error = {std::move(what), path, offset};
    }
}

}  // namespace

std::optional<CFindData> CShellLink::findDataOf(const std::string& path) {
    if (const auto identity = CFileIdentity::of(path)) {
        return identity->findData();
    }
    return std::nullopt;
}

CShellLink CShellLink::forTarget(const std::string& targetPath) {
    CShellLink link;
    link.m_targetPath = targetPath;
    link.takeIdentityOf(targetPath);
    return link;
}

void CShellLink::setFileIdentity(std::uint64_t device, std::uint64_t inode) {
    m_device = device;
    m_inode = inode;
}

// Takes the find data, device and inode of what exists at path; false (nothing changed) when nothing does.
bool CShellLink::takeIdentityOf(const std::string& path) {
    const auto identity = CFileIdentity::of(path);
    if (!identity) {
        return false;
    }
    m_findData = identity->findData();
    m_device = identity->device();
    m_inode = identity->inode();
    return true;
}

std::optional<CShellLink> CShellLink::load(const std::string& linkPath, CShellLinkError* error) {
    std::error_code code;
    const std::uintmax_t size = fs::file_size(linkPath, code);
    if (code) {
        report(error, "cannot read shell link: " + code.message(), linkPath);
        return std::nullopt;
    }
    if (size > ShellLinkFormat::kMaximumLinkFileSize) {
        report(error, "not a shell link: " + std::to_string(size) + " bytes is too large", linkPath,
               static_cast<std::int64_t>(ShellLinkFormat::kMaximumLinkFileSize));
        return std::nullopt;
    }
    std::ifstream in(linkPath, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in) {
        report(error, "cannot read shell link", linkPath, static_cast<std::int64_t>(in.gcount()));
        return std::nullopt;
    }
    return CShellLinkReader(bytes, linkPath).read(error);
}

// Writes a temporary file beside the link and renames it over the link, so that a failed write never
// leaves a damaged link behind. The temporary file is created exclusively and never through a symbolic
// link planted in the catalog folder; its name does not end in ".lnk", so a folder listing of links never
// mistakes it for one, and it carries our process id, so the next catalog save removes it if we die.
bool CShellLink::save(const std::string& linkPath, CShellLinkError* error) const {
    const std::vector<std::uint8_t> bytes = CShellLinkWriter::bytesOf(*this);
    std::string temporaryPath;
    const int fd = CTemporaryFile::create(linkPath, std::nullopt, &temporaryPath);
    if (fd < 0) {
        report(error, "cannot write shell link: " + std::generic_category().message(errno), linkPath);
        return false;
    }
    bool written = true;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            written = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0)
        written = false;
    if (!written) {
        ::unlink(temporaryPath.c_str());
        report(error, "cannot write shell link", linkPath);
        return false;
    }
    if (::rename(temporaryPath.c_str(), linkPath.c_str()) != 0) {
        const int code = errno;
        ::unlink(temporaryPath.c_str());
        report(error, "cannot write shell link: " + std::generic_category().message(code), linkPath);
        return false;
    }
    return true;
}

bool CShellLink::resolve(const std::string& extraSearchFolder) {
    if (m_targetPath.empty()) {
        return false;
    }
    if (takeIdentityOf(m_targetPath)) {
        return true;
    }
    CMovedFileSearch search(m_targetPath, m_findData, m_device, m_inode);
    const auto found = search.find(extraSearchFolder);
    if (!found) {
        return false;
    }
    m_targetPath = *found;
    takeIdentityOf(m_targetPath);
    return true;
}
