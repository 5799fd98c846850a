#pragma once

// Positions 0..n handed out in chunks to two workers. The front worker takes them in order as soon as they
// are known, while a producer is still finding more; once all are known, a back worker takes them from the
// end. Each position goes to exactly one of them, and they stop where they meet, so the work ends evenly
// whichever of the two started late or ran slower.

#include <condition_variable>
#include <cstddef>
#include <mutex>

class CChunkClaims final {
public:
    struct Range {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool empty() const { return begin >= end; }
    };

    explicit CChunkClaims(std::size_t chunk) : m_chunk(chunk) {}

    // Positions below `known` exist.
    void publish(std::size_t known);
    // All `total` positions are known.
    void close(std::size_t total);
    // No more chunks for the front: the producer failed. The chunks already handed out stay handed out.
    void abandon();

    // The front's next chunk, waiting until it is known; empty when there is none left.
    Range claimFront();
    // The back's next chunk, from the end; empty when there is none left. Only after close().
    Range claimBack();

private:
    const std::size_t m_chunk;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_known = 0;
    std::size_t m_front = 0;  // the front has taken everything below
    std::size_t m_back = 0;   // the back has taken everything from here on (after close())
    bool m_closed = false;
    bool m_abandoned = false;
};
