#pragma once
// Signals that end or pause a session without losing it: SIGTERM and SIGHUP (and SIGINT where
// asked) are recorded for the session to end cleanly, and Ctrl-Z gives the terminal back in the
// state the shell left it, then restores the session's own modes and screen on resume. On Windows
// the console's Ctrl-C and Ctrl-Break stand for SIGINT, and closing the console, logging off or
// shutting down for SIGTERM; nothing pauses there.
//
// POSIX: sigaction handlers that only record the signal; SIGTSTP for Ctrl-Z, the session's modes
// taken back when it runs again.
// Windows: SetConsoleCtrlHandler. Not provided: pausing on Windows, any other signal.

#include <csignal>
#include <functional>
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
    // How many times the session was resumed after a pause (Ctrl-Z), so that what runs to the
    // clock can leave the paused time out. Always 0 on Windows.
    static int resumes();

    // Terminal text written on Ctrl-Z (`pause`) and on resume (`resume`); kept until replaced.
    static void setScreenText(std::string pause, std::string resume);
};

// Runs `work`, which must not be cut short (a save), with the signals that end a session held
// back: SIGTERM, SIGHUP and SIGINT that come meanwhile wait until it is done and are then taken
// here, not acted on. On Windows a Ctrl-C or Ctrl-Break waits likewise, and closing the console,
// logging off or shutting down waits for the end of `work` before the system ends the process.
// Returns one that came (SIGTERM before SIGHUP before SIGINT; on Windows the first event, as
// SIGINT or SIGTERM), 0 when none did.
int holdingStops(const std::function<void()>& work);

// Ctrl-C (SIGINT; on Windows the console's Ctrl-C) stops the command under way rather than the
// program, for as long as the object lives; one at a time. A long command asks `requested()`
// between its steps and returns early; the console then goes on with its next line. A line
// editor reading a line may take Ctrl-C for itself meanwhile.
class CommandInterrupt {
public:
    CommandInterrupt();
    ~CommandInterrupt(); // the previous handling back
    CommandInterrupt(const CommandInterrupt&) = delete;
    CommandInterrupt& operator=(const CommandInterrupt&) = delete;

    static bool requested(); // Ctrl-C since the last clear()
    static void clear();     // before each command: a Ctrl-C before it stops nothing
};

// A signal's name as a shell names it: "SIGINT"; "signal N" for one without a name.
std::string signalName(int signal);

// The status a shell expects of a program ended by `signal`.
inline int signalStatus(int signal)
{
    return 128 + signal;
}

} // namespace platform
