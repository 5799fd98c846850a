#pragma once

#include <string>

class CFileCatalog;

// Opening and saving the catalog that a command names, with the failure told on standard error and turned
// into qlry's exit status.
class CCatalogArgument final {
public:
    // The absolute form of a path argument (URLs stay as they are).
    static std::string absolutePath(const std::string& path);

    // Reads the catalog file without recomputing. kExitOk, or the status after the message: a malformed
    // file gives kExitMalformedCatalog ("予期しないﾌｧｲﾙ形式です。" and the kind and offset), a failure of the
    // file system kExitUsage.
    static int open(const std::string& path, CFileCatalog& catalog);
    // Saves the catalog to its own path safely; kExitOk or kExitUsage after the message.
    static int save(CFileCatalog& catalog);
};
