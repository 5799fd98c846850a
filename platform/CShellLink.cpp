#include "platform/CShellLink.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/CFileIdentity.h"
#include "platform/CMovedFileSearch.h"
#include "platform/CShellLinkReader.h"
#include "platform/CShellLinkWriter.h"
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
// leaves a damaged link behind. The temporary name does not end in ".lnk", so a folder listing of links
// never mistakes it for one.
bool CShellLink::save(const std::string& linkPath, CShellLinkError* error) const {
    const std::vector<std::uint8_t> bytes = CShellLinkWriter::bytesOf(*this);
    const std::string temporaryPath = linkPath + ".part";
    {
        std::ofstream out(temporaryPath, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temporaryPath, ignored);
            report(error, "cannot write shell link", linkPath);
            return false;
        }
    }
    std::error_code code;
    fs::rename(temporaryPath, linkPath, code);
    if (code) {
        std::error_code ignored;
        fs::remove(temporaryPath, ignored);
        report(error, "cannot write shell link: " + code.message(), linkPath);
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
