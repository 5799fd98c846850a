#pragma once

// Runs work over positions 0..count in two halves, the second on a thread of its own, when there is enough of
// it and a second processor to run it; otherwise in one go on the calling thread. An exception thrown in
// either half reaches the caller once both halves have ended.

#include <cstddef>
#include <exception>
#include <thread>

class CParallelHalves final {
public:
    // work(begin, end) must be safe to run on two disjoint ranges at once.
    template <typename Work>
    static void run(std::size_t count, std::size_t minimumHalf, Work&& work) {
        const std::size_t half = count / 2;
        if (half < minimumHalf || std::thread::hardware_concurrency() < 2) {
            work(std::size_t{0}, count);
            return;
        }
        std::exception_ptr helperFailure;
        std::thread helper([&] {
            try {
                work(half, count);
            } catch (...) {
                helperFailure = std::current_exception();
            }
        });
        try {
            work(std::size_t{0}, half);
        } catch (...) {
            helper.join();
            throw;
        }
        helper.join();
        if (helperFailure)
            std::rethrow_exception(helperFailure);
    }
};
