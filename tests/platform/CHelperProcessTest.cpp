// A helper process that dies, hangs or cannot start: each request ends within its time limit with the
// reason, the helper is reaped or killed, and the next request starts a new one. Common programs stand in
// for a helper: each is started with the caller's process id as its only argument. (A helper that crashes
// by a signal, and one that answers, are tested with the image plug-in helper in the preview tests.)

#include <gtest/gtest.h>

#include <chrono>

#include "platform/CHelperProcess.h"

using namespace std::chrono_literals;

TEST(HelperProcess, EndsEveryRequestWithinItsLimit) {
    // "sleep PID" sleeps for longer than any test: killed at the limit.
    CHelperProcess hanging("/bin/sleep");
    const auto start = std::chrono::steady_clock::now();
    CHelperProcess::Reply reply = hanging.call(CWireMessage(1), 0x81, 300ms);
    EXPECT_EQ(reply.outcome, CHelperProcess::Outcome::TimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(hanging.isRunning());
    EXPECT_EQ(reply.attached, -1);

    // "false" ends with status 1 before it answers.
    CHelperProcess failing("/bin/false");
    reply = failing.call(CWireMessage(1), 0x81, 5s);
    EXPECT_EQ(reply.outcome, CHelperProcess::Outcome::Crashed);
    EXPECT_EQ(reply.detail, "ends the process (exit status 1)");
    EXPECT_FALSE(failing.isRunning());
    // The next request starts a new helper.
    reply = failing.call(CWireMessage(1), 0x81, 5s);
    EXPECT_EQ(reply.outcome, CHelperProcess::Outcome::Crashed);

    CHelperProcess missing("/nonexistent/helper");
    reply = missing.call(CWireMessage(1), 0x81, 5s);
    EXPECT_EQ(reply.outcome, CHelperProcess::Outcome::NotStarted);
    EXPECT_NE(reply.detail.find("/nonexistent/helper"), std::string::npos);
}
