#include "catalogfile/CChunkClaims.h"

#include <algorithm>

void CChunkClaims::publish(std::size_t known) {
    {
        const std::lock_guard lock(m_mutex);
        m_known = known;
    }
    m_changed.notify_one();
}

void CChunkClaims::close(std::size_t total) {
    {
        const std::lock_guard lock(m_mutex);
        m_known = total;
        m_back = total;
        m_closed = true;
    }
    m_changed.notify_one();
}

void CChunkClaims::abandon() {
    {
        const std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_changed.notify_one();
}

CChunkClaims::Range CChunkClaims::claimFront() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_abandoned || m_closed || m_known >= m_front + m_chunk; });
    if (m_abandoned)
        return {};
    const std::size_t end = m_closed ? std::min(m_front + m_chunk, m_back) : m_front + m_chunk;
    if (end <= m_front)
        return {};
    const Range range{m_front, end};
    m_front = end;
    return range;
}

CChunkClaims::Range CChunkClaims::claimBack() {
    const std::lock_guard lock(m_mutex);
    const std::size_t begin = m_back - m_front > m_chunk ? m_back - m_chunk : m_front;
    const Range range{begin, m_back};
    m_back = begin;
    return range;
}
