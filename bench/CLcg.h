#pragma once

#include <cstdint>

// A small deterministic generator for the benchmarks' and generators' catalogs: the same seed makes the
// same catalog on every run.
class CLcg final {
public:
    explicit CLcg(std::uint32_t seed) : m_state(seed) {}

    std::uint32_t next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }

private:
    std::uint32_t m_state;
};
