#include "platform/CHelperProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// How long a helper whose socket was closed may take to end before it is killed.
constexpr auto kGraceToEnd = std::chrono::milliseconds(500);

std::string describeStatus(int status) {
    if (WIFSIGNALED(status)) {
        const int number = WTERMSIG(status);
        const char* name = sigabbrev_np(number);
        return "crashes (signal " + std::to_string(number) + (name ? std::string(", SIG") + name : std::string()) + ")";
    }
    if (WIFEXITED(status))
        return "ends the process (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    return "ends the process";
}

}  // namespace

CHelperProcess::~CHelperProcess() {
    stop();
}

void CHelperProcess::setExecutable(const std::string& executable) {
    if (executable != m_executable)
        stop();
    m_executable = executable;
}

bool CHelperProcess::start(std::string& error) {
    if (m_executable.empty()) {
        error = "no helper program is known";
        return false;
    }
    if (::access(m_executable.c_str(), X_OK) != 0) {
        error = m_executable + ": " + std::strerror(errno);
        return false;
    }
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        error = std::string("socketpair: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // dup2 onto the fixed number clears close-on-exec there; the helper's end is not inherited elsewhere.
    posix_spawn_file_actions_adddup2(&actions, ends[1], kChannelDescriptor);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attributes, &signals);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const std::string parent = std::to_string(::getpid());
    std::vector<char*> argv{const_cast<char*>(m_executable.c_str()), const_cast<char*>(parent.c_str()), nullptr};
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, m_executable.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(ends[1]);
    if (spawned != 0) {
        ::close(ends[0]);
        error = m_executable + ": " + std::strerror(spawned);
        return false;
    }
    m_pid = pid;
    m_channel = CMessageChannel(ends[0]);
    return true;
}

std::string CHelperProcess::finish(bool kill) {
    m_channel.close();
    if (m_pid <= 0)
        return std::string();
    const pid_t pid = m_pid;
    m_pid = -1;
    int status = 0;
    if (!kill) {
        // Closing the socket ends a healthy helper at once; one that no longer listens is killed.
        const auto until = std::chrono::steady_clock::now() + kGraceToEnd;
        for (;;) {
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid)
                return describeStatus(status);
            if (done < 0 && errno != EINTR)
                return std::string();
            if (std::chrono::steady_clock::now() >= until)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    ::kill(pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return kill ? std::string("killed") : std::string("closes its channel and is killed");
}

void CHelperProcess::stop() {
    finish(false);
}

CHelperProcess::Reply CHelperProcess::call(CWireMessage request, std::uint16_t replyType,
                                           std::chrono::milliseconds limit) {
    Reply reply;
    if (!isRunning() && !start(reply.detail)) {
        reply.outcome = Outcome::NotStarted;
        return reply;
    }
    const auto deadline = CMessageChannel::Clock::now() + limit;
    request.setSerial(++m_serial);
    CMessageChannel::Result result = m_channel.send(request, deadline);
    if (result.ok())
        result = m_channel.receive(reply.message, deadline, reply.attached);
    if (result.ok() && (reply.message.type() != replyType || reply.message.serial() != m_serial)) {
        result = {CMessageChannel::Status::Malformed,
                  "an answer of type " + std::to_string(reply.message.type()) + " and serial " +
                      std::to_string(reply.message.serial()) + " to a request of serial " + std::to_string(m_serial)};
    }
    switch (result.status) {
    case CMessageChannel::Status::Ok:
        reply.outcome = Outcome::Answered;
        return reply;
    case CMessageChannel::Status::Closed:
        reply.outcome = Outcome::Crashed;
        reply.detail = finish(false);
        break;
    case CMessageChannel::Status::TimedOut:
        reply.outcome = Outcome::TimedOut;
        reply.detail = "does not answer within " + std::to_string(limit.count()) + " ms";
        finish(true);
        break;
    case CMessageChannel::Status::Malformed:
    case CMessageChannel::Status::Failed:
        reply.outcome = Outcome::Malformed;
        reply.detail = result.detail;
        finish(true);
        break;
    }
    if (reply.attached >= 0)
        ::close(reply.attached);
    reply.attached = -1;
    return reply;
}
