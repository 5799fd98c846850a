#include "desktop/browserhost/CBrowserHost.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

#include "desktop/CBrowserHostState.h"
#include "desktop/browserhost/CBrowserHostMessage.h"
#include "platform/CNativeMessageReader.h"
#include "platform/CTemporaryFile.h"

namespace {

constexpr const char* kName = "quillory-browser-host";
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGPIPE, SIGHUP};

// The state file's path for the signal handler, which may only make async-signal-safe calls.
char g_statePath[PATH_MAX] = {};

void onSignal(int signal) {
    if (g_statePath[0] != '\0')
        ::unlink(g_statePath);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Holds the handled signals back while the state file is replaced, so that a signal cannot leave a file
// behind that its handler had already removed.
class CSignalsHeld final {
public:
    CSignalsHeld() {
        sigset_t held;
        sigemptyset(&held);
        for (const int signal : kSignals)
            sigaddset(&held, signal);
        ::sigprocmask(SIG_BLOCK, &held, &m_before);
    }
    ~CSignalsHeld() { ::sigprocmask(SIG_SETMASK, &m_before, nullptr); }
    CSignalsHeld(const CSignalsHeld&) = delete;
    CSignalsHeld& operator=(const CSignalsHeld&) = delete;

private:
    sigset_t m_before{};
};

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// The parent's pid from /proc/<pid>/stat, or -1. The command name (second field) is in parentheses and may
// itself hold spaces and parentheses, so the fields are counted from the last ')'.
std::int64_t parentOf(std::int64_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    char state = 0;
    long long parent = -1;
    if (std::sscanf(stat.c_str() + close + 1, " %c %lld", &state, &parent) != 2)
        return -1;
    return parent;
}

}  // namespace

std::vector<std::int64_t> CBrowserHost::ancestorsFrom(std::int64_t pid, std::size_t count) {
    std::vector<std::int64_t> pids;
    while (pid > 0 && pids.size() < count) {
        pids.push_back(pid);
        pid = parentOf(pid);
    }
    return pids;
}

void CBrowserHost::removeStateOnSignals(const std::string& path) {
    if (path.size() < sizeof g_statePath)
        std::memcpy(g_statePath, path.c_str(), path.size() + 1);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

void CBrowserHost::handle(const std::string& frame, const std::vector<std::int64_t>& pids) {
    std::string error;
    std::optional<CBrowserHostState::Page> page = CBrowserHostMessage::parse(frame, &error);
    if (!page) {
        std::fprintf(stderr, "%s: message skipped: %s\n", kName, error.c_str());
        return;
    }
    page->receivedMs = nowMs();
    page->hostPid = ::getpid();
    page->pids = pids;
    const CSignalsHeld held;
    if (!CBrowserHostState::write(*page, &error))
        std::fprintf(stderr, "%s: state not written: %s\n", kName, error.c_str());
}

int CBrowserHost::run(int inputFd) {
    const std::string path = CBrowserHostState::ownPath();
    removeStateOnSignals(path);
    if (!path.empty()) {
        // Temporary files of hosts that were killed half-way through a write.
        const std::string folder = path.substr(0, path.rfind('/'));
        CTemporaryFile::removeStale(folder);
    }
    // Read once, while the process that started the host is surely still its parent.
    const std::vector<std::int64_t> pids = ancestorsFrom(::getppid(), kAncestors);

    CNativeMessageReader reader = CNativeMessageReader::fromDescriptor(inputFd);
    int status = kExitOk;
    for (;;) {
        CNativeMessageReader::Result result = reader.next();
        if (result.status == CNativeMessageReader::Status::Frame) {
            handle(result.frame, pids);
            continue;
        }
        if (result.status != CNativeMessageReader::Status::End)
            std::fprintf(stderr, "%s: %s\n", kName, result.detail.c_str());
        if (result.status == CNativeMessageReader::Status::Refused)
            status = kExitRefused;
        else if (result.status == CNativeMessageReader::Status::Failed)
            status = kExitFailed;
        break;
    }
    const CSignalsHeld held;
    CBrowserHostState::remove();
    g_statePath[0] = '\0';
    return status;
}
