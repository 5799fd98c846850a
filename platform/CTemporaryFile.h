#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

// The temporary files that saves write beside the file they replace. A temporary file is created
// exclusively and never through a symbolic link, under a name nobody can predict
// (".NAME.tmp-PID-RANDOM" beside NAME), and with the final file's mode from the start, so a save killed
// half-way leaks nothing the final file would not show. The process id in the name lets the next save
// remove what a killed save left behind.
class CTemporaryFile final {
public:
    // Creates the temporary file for `target` in the target's folder and returns its descriptor (write
    // only), or -1 with errno set. With `mode` the file gets exactly that mode (permission and set-id
    // bits); without, 0666 less the umask like any new file.
    static int create(const std::string& target, std::optional<mode_t> mode, std::string* temporaryPath);

    // Removes from the folder the temporary files of processes that no longer run, including those of
    // the older ".NAME.tmpPID-N" form; returns how many were removed. Entries it cannot read are skipped.
    static int removeStale(const std::string& folder);

    // The process id a temporary file's name carries, or 0 when the name is not one of a temporary file.
    static pid_t ownerOf(const std::string& fileName);
};
