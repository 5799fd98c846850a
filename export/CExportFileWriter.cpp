#include "export/CExportFileWriter.h"

#include <utility>

#include "platform/CUserInterface.h"

namespace {

// Pieces formatted ahead of the writing thread: enough to go on formatting while the file system lets go of
// an old file of ten or more megabytes, few enough to bound the memory (about 24 MB).
constexpr std::size_t kMostPending = 16;

}  // namespace

CExportFileWriter::~CExportFileWriter() {
    if (m_thread.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_finishing = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
}

bool CExportFileWriter::open(std::string_view path) {
    if (m_thread.joinable() && !close()) {
        return false;
    }
    m_pending.clear();
    m_finishing = false;
    m_failure.reset();
    m_reported = false;
    m_thread = std::thread(&CExportFileWriter::run, this, std::string(path));
    return true;
}

// The writing thread: opens the file, writes the pieces in the order they came, closes the file. After a
// failure the file is closed and the remaining pieces are dropped.
void CExportFileWriter::run(std::string path) {
    CLineFile file;
    bool failed = false;
    const auto fail = [this, &failed](const CVemtoFileException& failure) {
        failed = true;
        std::lock_guard lock(m_mutex);
        m_failure = failure.message();
    };
    try {
        file.open(path, "wb");
    } catch (const CVemtoFileException& failure) {
        fail(failure);
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_pending.empty() || m_finishing; });
        if (m_pending.empty()) {
            break;
        }
        std::string piece = std::move(m_pending.front());
        m_pending.pop_front();
        lock.unlock();
        if (!failed) {
            try {
                file.write(piece);
            } catch (const CVemtoFileException& failure) {
                fail(failure);
            }
        }
        piece.clear();
        lock.lock();
        m_spare.push_back(std::move(piece));
        m_changed.notify_all();
    }
    lock.unlock();
    if (!failed) {
        try {
            file.close();
        } catch (const CVemtoFileException& failure) {
            fail(failure);
        }
    }
}

bool CExportFileWriter::reportFailure() {
    std::optional<std::string> message;
    {
        std::lock_guard lock(m_mutex);
        if (!m_failure) {
            return true;
        }
        if (!m_reported) {
            message = m_failure;
            m_reported = true;
        }
    }
    if (message) {
        CUserInterface::current().message(*message, MessageIcon::Error);
    }
    return false;
}

bool CExportFileWriter::write(std::string& chunk) {
    if (!m_thread.joinable() || !reportFailure()) {
        chunk.clear();
        return false;
    }
    std::string room;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_pending.size() < kMostPending || m_failure; });
        if (!m_failure) {
            m_pending.push_back(std::move(chunk));
            if (!m_spare.empty()) {
                room = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
    }
    m_changed.notify_all();
    chunk = std::move(room);
    chunk.clear();
    if (chunk.capacity() < kChunkSize) {
        chunk.reserve(kChunkSize + kChunkSize / 2);
    }
    return reportFailure();
}

bool CExportFileWriter::close() {
    if (!m_thread.joinable()) {
        return reportFailure();
    }
    {
        std::lock_guard lock(m_mutex);
        m_finishing = true;
    }
    m_changed.notify_all();
    m_thread.join();
    return reportFailure();
}
