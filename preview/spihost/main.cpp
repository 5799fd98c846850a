// quillory-spi-host: runs the image plug-ins on behalf of Quillory, which starts it with one end of a socket
// as descriptor 3 and its own process id as the only argument. A plug-in that crashes, exits or hangs
// ends only this process; Quillory notices, reports the plug-in and starts a new helper.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/CHelperProcess.h"
#include "preview/CSPIHostServer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "quillory-spi-host: started by Quillory only\n");
        return 2;
    }
    // Dies with the program, even while a plug-in loops; a program that ended before this line is noticed
    // by comparing the parent's id.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (std::to_string(getppid()) != argv[1])
        return 2;
    signal(SIGPIPE, SIG_IGN);
    return CSPIHostServer(CHelperProcess::kChannelDescriptor).run();
}
