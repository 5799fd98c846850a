#pragma once

#include <chrono>

// Told while a capture waits for the browser to save the page it shows, so that the user sees the wait
// and can end it. The application answers with a wait cursor and, after a moment, a progress dialog.
class CCaptureWait {
public:
    virtual ~CCaptureWait() = default;

    // Called every few hundred milliseconds while waiting; false when the user gave up.
    virtual bool waiting(std::chrono::milliseconds elapsed, std::chrono::milliseconds limit) = 0;
    // The wait is over, whichever way.
    virtual void ended() = 0;
};
