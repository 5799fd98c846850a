#pragma once

#include <string>

class CCatalogUpdate;
class CFileCatalog;

// Opening and saving the catalog that a command names, with the failure told on standard error and turned
// into qlry's exit status.
class CCatalogArgument final {
public:
    // The absolute form of a path argument (URLs stay as they are).
    static std::string absolutePath(const std::string& path);

    // Reads the catalog file without recomputing, for a command that only reads: the catalog is read
    // only, so its recompute writes nothing. kExitOk, or the status after the message: a malformed file
    // gives kExitMalformedCatalog ("予期しないﾌｧｲﾙ形式です。" and the kind and offset), a failure of the
    // file system kExitUsage.
    static int open(const std::string& path, CFileCatalog& catalog);
    // The same for a command that changes the catalog: the file stays locked by `update` until it is saved.
    static int openForChange(const std::string& path, CFileCatalog& catalog, CCatalogUpdate& update);
    // Saves a new catalog to its own path safely; kExitOk or kExitUsage after the message.
    static int save(CFileCatalog& catalog);
    // Saves a catalog opened for change. A file changed meanwhile by another program is not replaced:
    // kExitUsage after the message, like any other failure to save.
    static int save(CFileCatalog& catalog, CCatalogUpdate& update);
};
