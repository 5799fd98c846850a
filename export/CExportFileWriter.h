#pragma once

// Writes an export file through the line file: created or truncated, bytes written as they are (binary).
// A failure to open, write or close is shown to the user once, as "ファイルのオープンに失敗しました:"
// (or "ファイルの書込に失敗しました:", "ファイルのクローズに失敗しました:") and the path, and gives false.
// The file is closed in every case, at the latest when the writer is destroyed.
//
// The file is opened and written on a thread of its own while the exporter formats the next piece: opening
// an existing file waits until the file system has let go of its old contents, and the copy into the file
// takes a while too; neither then holds up the formatting. Failures are shown on the exporter's thread, at
// the first write() or close() after they happened.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "text/CLineFile.h"

class CExportFileWriter final {
public:
    // Exporters hand their text to write() in pieces of about this size.
    static constexpr std::size_t kChunkSize = 1 << 20;

    CExportFileWriter() = default;
    ~CExportFileWriter();
    CExportFileWriter(const CExportFileWriter&) = delete;
    CExportFileWriter& operator=(const CExportFileWriter&) = delete;

    // Starts writing to the file. False when an earlier failure of this writer is not yet shown.
    bool open(std::string_view path);
    // Takes the bytes of `chunk` to be written; `chunk` is left empty (with the room of a piece written
    // before, when one is free). False once any step has failed; later writes are dropped.
    bool write(std::string& chunk);
    // Waits until everything is written and the file closed. False when closing or an earlier step failed.
    bool close();

private:
    void run(std::string path);
    // Shows a failure that the writing thread met, once; true when there was none.
    bool reportFailure();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::string> m_pending;   // pieces waiting to be written
    std::vector<std::string> m_spare;    // written pieces, their room kept for the next ones
    bool m_finishing = false;            // no more pieces will come
    std::optional<std::string> m_failure;  // the message of the first failure
    bool m_reported = false;
};
