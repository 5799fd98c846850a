// quillory-browser-host: the native messaging host that the browser extension talks to. The browser starts
// it with the extension's messages on standard input; see CBrowserHost.

#include <unistd.h>

#include "desktop/browserhost/CBrowserHost.h"

int main() {
    return CBrowserHost::run(STDIN_FILENO);
}
