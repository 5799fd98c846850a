#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalogfile/CArchiveError.h"
#include "catalogfile/CCatalogFileError.h"
#include "platform/CFileStamp.h"

class CFileCatalog;
class CReleasableBytes;

// Reads and writes the catalog file (.qlry), byte for byte as the layout in model/CatalogFormat.h gives.
class CCatalogFile final {
public:
    // Reads the file into the catalog: the catalog is cleared, takes the file's path, is filled from the
    // file (an empty file is an empty catalog) and recomputed unless `recompute` is false (for callers that
    // change selections first). On failure the catalog is cleared again and the error is returned.
    // `stamp`, when given, receives the stamp of the file that was read.
    static std::optional<CCatalogFileError> read(CFileCatalog& catalog, const std::string& path,
                                                 bool recompute = true,
                                                 std::optional<CFileStamp>* stamp = nullptr);
    // Writes the catalog to the file through a safe save; on success the catalog takes the file's path.
    // With relative paths (and shortcuts off) the item paths are written relative to the file's folder;
    // the catalog in memory keeps its absolute paths. The save holds the file's lock (see CFileLock); with
    // `expected`, a file whose stamp is no longer that one is not replaced (FileErrorKind::ChangedOnDisk).
    static std::optional<CCatalogFileError> write(CFileCatalog& catalog, const std::string& path,
                                                  const std::optional<CFileStamp>& expected = std::nullopt);
    // The same for a caller that holds the file's lock already.
    static std::optional<CCatalogFileError> writeLocked(CFileCatalog& catalog, const std::string& path,
                                                        const std::optional<CFileStamp>& expected);

    // The in-memory halves, without file system or recompute. parse fills a cleared catalog; on failure the
    // catalog is cleared again. With `release` (which holds `bytes`), the memory of the item records is given
    // back as they are converted. serialize writes relative paths against `catalogFolder` when the catalog
    // stores relative paths.
    static std::optional<CArchiveError> parse(CFileCatalog& catalog, std::string_view bytes,
                                              const CReleasableBytes* release = nullptr);
    static std::string serialize(const CFileCatalog& catalog, const std::string& catalogFolder);

    // The whole file in memory, or the file system's failure.
    static std::optional<CFileError> readFileBytes(const std::string& path, std::string* bytes,
                                                   std::optional<CFileStamp>* stamp = nullptr);
    // Opens the file for reading, refusing a folder: *fd (the caller closes it) and *size, and the file's
    // stamp when asked; the file system's failure otherwise, with nothing left open.
    static std::optional<CFileError> openForReading(const std::string& path, int* fd, std::uint64_t* size,
                                                    std::optional<CFileStamp>* stamp);
    // Appends the rest of an opened file to *bytes.
    static std::optional<CFileError> appendOpenedFile(int fd, const std::string& path, std::string* bytes);
};
