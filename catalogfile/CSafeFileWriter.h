#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "catalogfile/CFileError.h"

// Replaces a file's contents without ever destroying the previous version: the bytes go to a temporary
// file in the same folder (created exclusively, with the old file's permissions from the start; see
// CTemporaryFile), which is flushed to disk and renamed over the old file. When any step fails the
// temporary file is removed, the old file is untouched and the failure is returned. A file without write
// permission is not replaced (access denied), and temporary files of dead processes are removed first.
class CSafeFileWriter final {
public:
    // The steps of a save, for fault injection.
    enum class Step { CreateTemporary, Write, Sync, Rename };

    static std::optional<CFileError> write(const std::string& path, std::string_view bytes);

    // Tests make one step fail with the given errno value (0 clears it), to show what a full disk or a
    // read-only folder does.
    static void injectFault(Step step, int errorNumber);
    static void clearFaults();
};
