// Ending the program from outside: the session closing, SIGTERM and SIGINT.

#include "platform/ui/Backend.h"

#include "platform/ui/InstanceChannel.h"
#include "platform/ui/User.h"
#include "platform/ui/internal/Driver.h"
#include "platform/ui/internal/Window.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace platform {

namespace {

// The self-pipe: the handler writes a byte, the loop reads it. Only these
// two values are touched by the handler.
volatile sig_atomic_t g_writeFd = -1;
int g_readFd = -1;

void OnSignal(int)
{
    int saved = errno;
    if (g_writeFd >= 0) {
        char byte = 1;
        // A full pipe already holds a request; nothing is lost.
        (void)!write(g_writeFd, &byte, 1);
    }
    errno = saved;
}

void ServeSignals()
{
    char bytes[64];
    bool asked = false;
    for (;;) {
        ssize_t n = read(g_readFd, bytes, sizeof bytes);
        if (n > 0) {
            asked = true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break;
    }
    if (asked)
        RequestEndSession(NULL);
}

} // namespace

void RequestEndSession(HWND fallbackMain)
{
    std::vector<HWND> tops;
    if (Window* desktop = PeekWindowRecord(GetDesktopWindow()))
        tops = desktop->children;
    for (HWND h : tops)
        if (IsWindow(h) && !SendMessage(h, WM_QUERYENDSESSION, 0, 0))
            return;
    HWND main = GetInstanceMainWindow();
    if (!IsWindow(main))
        main = fallbackMain;
    if (IsWindow(main))
        PostMessage(main, WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

void EndSessionOnSignals()
{
    if (g_readFd < 0) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        g_readFd = fds[0];
        g_writeFd = fds[1];
    }
    WatchDescriptor(g_readFd, ServeSignals);
    // These replace the handlers SDL may have installed, which would turn
    // the signals into a quit event only the SDL back end sees.
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // The loop's poll() is cut short all the same, so the request is seen
    // at once; other calls carry on.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace platform
