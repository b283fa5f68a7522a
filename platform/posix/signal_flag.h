#pragma once
// Signals that only raise a flag, for the seams that look at it between their own steps: the
// handler does nothing a handler may not, and the action it replaced is handed back to be put back.

#include <signal.h>

#include <csignal>

namespace platform {

// The flag of `signal` (0 to NSIG - 1), raised to 1 whenever it arrives while caught.
volatile std::sig_atomic_t& signalFlag(int signal);

// Catches `signal` into its flag, lowered first; reads and writes under way go on (SA_RESTART).
// The action it replaces is returned, for restoreSignal.
struct sigaction catchSignal(int signal);

void restoreSignal(int signal, const struct sigaction& before);

} // namespace platform
