#include "platform/SessionSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ambrin::platform {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
int pipeEnds[2] = {-1, -1};

void OnSessionEnd(int signal)
{
    const int saved = errno;
    const char which = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &which, 1);  // full: one is enough
    errno = saved;
}

}  // namespace

int WatchSessionEndSignals()
{
    if (pipeEnds[0] >= 0) return pipeEnds[0];
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    struct sigaction action {};
    action.sa_handler = OnSessionEnd;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) sigaction(signal, &action, nullptr);
    return pipeEnds[0];
}

void StopWatchingSessionEndSignals()
{
    for (const int signal : kSignals) std::signal(signal, SIG_DFL);
}

void DrainSessionEndSignals()
{
    char which[16];
    while (pipeEnds[0] >= 0 && read(pipeEnds[0], which, sizeof which) > 0) {
    }
}

}  // namespace ambrin::platform
