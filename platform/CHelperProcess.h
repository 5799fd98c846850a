#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "platform/CMessageChannel.h"
#include "platform/CWireMessage.h"

// A helper executable of ours that runs code the program must not run itself (code that may crash, exit or
// hang) and answers requests over a socket, its descriptor 3. The helper is started with the first request
// and kept for the next ones. Every request has a time limit: a helper that does not answer in time is
// killed; one that dies is reaped and its end described. The request after either starts a new helper.
class CHelperProcess final {
public:
    // The descriptor the helper finds its end of the socket on.
    static constexpr int kChannelDescriptor = 3;

    enum class Outcome {
        Answered,
        Crashed,     // the helper died: a signal, or an exit of its own
        TimedOut,    // no answer within the limit: the helper was killed
        Malformed,   // an answer that breaks the rules of the channel: the helper was killed
        NotStarted,  // the helper could not be started
    };
    struct Reply {
        Outcome outcome = Outcome::NotStarted;
        CWireMessage message;
        int attached = -1;   // a descriptor that came with the answer, the caller's to close
        std::string detail;  // how the helper ended, or what was wrong
        bool answered() const { return outcome == Outcome::Answered; }
    };

    explicit CHelperProcess(std::string executable = std::string()) : m_executable(std::move(executable)) {}
    ~CHelperProcess();
    CHelperProcess(const CHelperProcess&) = delete;
    CHelperProcess& operator=(const CHelperProcess&) = delete;

    // The executable started for the next request (the running helper, if any, is stopped).
    void setExecutable(const std::string& executable);
    const std::string& executable() const { return m_executable; }

    // Sends a request and waits at most `limit` for its answer, which must carry the request's serial and
    // the type `replyType`. The serial is set here.
    Reply call(CWireMessage request, std::uint16_t replyType, std::chrono::milliseconds limit);

    // Stops the helper: closes its socket, which ends it, and kills it if it has not ended shortly after.
    void stop();
    bool isRunning() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

private:
    bool start(std::string& error);
    // Ends the helper for good after a failed exchange and describes how it ended.
    std::string finish(bool kill);

    std::string m_executable;
    pid_t m_pid = -1;
    CMessageChannel m_channel;
    std::uint32_t m_serial = 0;
};
