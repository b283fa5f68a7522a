#include "platform/posix/signal_flag.h"

namespace platform {

namespace {

volatile std::sig_atomic_t flags[NSIG] = {};

void raiseFlag(int signal)
{
    flags[signal] = 1;
}

} // namespace

volatile std::sig_atomic_t& signalFlag(int signal)
{
    return flags[signal];
}

struct sigaction catchSignal(int signal)
{
    flags[signal] = 0;
    struct sigaction action {};
    action.sa_handler = raiseFlag;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    struct sigaction before {};
    sigaction(signal, &action, &before);
    return before;
}

void restoreSignal(int signal, const struct sigaction& before)
{
    sigaction(signal, &before, nullptr);
}

} // namespace platform
