#pragma once
// Signals that end or pause a session without losing it: SIGTERM and SIGHUP (and SIGINT where
// asked) are recorded for the session to end cleanly, and Ctrl-Z gives the terminal back in the
// state the shell left it, then restores the session's own modes and screen on resume. On Windows
// the console's Ctrl-C and Ctrl-Break stand for SIGINT, and closing the console, logging off or
// shutting down for SIGTERM; nothing pauses there.

#include <csignal>
#include <string>

namespace platform {

class StopSignals {
public:
    // Installs the handlers for as long as the object lives; one at a time. With `interrupt`
    // SIGINT ends the session too. With `endInput` standard input reaches its end when a
    // signal ends the session, so that a blocking read of a line returns.
    StopSignals(bool interrupt, bool endInput);
    ~StopSignals(); // the previous handlers back, and the terminal's modes as they were at start
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static int received(); // the first signal that ended the session; 0 when none

    // Terminal text written on Ctrl-Z (`pause`) and on resume (`resume`); kept until replaced.
    static void setScreenText(std::string pause, std::string resume);
};

// A signal's name as a shell names it: "SIGINT"; "signal N" for one without a name.
std::string signalName(int signal);

// The status a shell expects of a program ended by `signal`.
inline int signalStatus(int signal)
{
    return 128 + signal;
}

} // namespace platform
