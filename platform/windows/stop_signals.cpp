#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "platform/stop_signals.h"

namespace platform {

namespace {

volatile LONG received_ = 0;
volatile LONG interrupt_ = 0; // Ctrl-C and Ctrl-Break end the session too
HANDLE mainThread = nullptr;  // the thread that may be blocked reading a line; null when not asked
int nullFd = -1;              // NUL, put on standard input when the session ends; -1 when not asked

// Runs on a thread of its own that the system starts for each console event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    int signal = 0;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        if (interrupt_ == 0) {
            return FALSE; // to the handlers before, in the end the system's, which ends the process
        }
        signal = SIGINT;
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: signal = SIGTERM; break;
    default: return FALSE;
    }
    InterlockedCompareExchange(&received_, signal, 0);
    if (mainThread) {
        // The read under way returns; the ones after meet the end of input.
        CancelSynchronousIo(mainThread);
        _dup2(nullFd, 0);
    }
    if (signal == SIGTERM) {
        // The system ends the process as soon as this returns: holding it lets the session end
        // cleanly, within the few seconds the system allows, and the process ends with main.
        Sleep(INFINITE);
    }
    return TRUE;
}

volatile LONG held_ = 0;   // the first event while stops are held, as a signal; 0 when none
HANDLE workDone = nullptr; // set once the held work is done; never closed, as waiters may remain

// Registered last while the work runs, so asked first.
BOOL WINAPI holdEvent(DWORD event)
{
    const bool ending = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (!ending && event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    InterlockedCompareExchange(&held_, ending ? SIGTERM : SIGINT, 0);
    if (ending) {
        // The system ends the process once a handler returns: not before the work is done.
        WaitForSingleObject(workDone, INFINITE);
    }
    return TRUE;
}

} // namespace

int holdingStops(const std::function<void()>& work)
{
    if (!workDone) {
        workDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    if (workDone) {
        ResetEvent(workDone);
    }
    held_ = 0;
    const bool holding = workDone && SetConsoleCtrlHandler(holdEvent, TRUE);
    work();
    if (holding) {
        SetConsoleCtrlHandler(holdEvent, FALSE);
        SetEvent(workDone);
    }
    return static_cast<int>(held_);
}

StopSignals::StopSignals(bool interrupt, bool endInput)
{
    received_ = 0;
    interrupt_ = interrupt ? 1 : 0;
    if (endInput) {
        nullFd = _open("NUL", _O_RDONLY | _O_BINARY | _O_NOINHERIT);
        if (nullFd >= 0 && !DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &mainThread,
                                            0, FALSE, DUPLICATE_SAME_ACCESS)) {
            mainThread = nullptr;
        }
    }
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    if (mainThread) {
        CloseHandle(mainThread);
        mainThread = nullptr;
    }
    if (nullFd >= 0) {
        _close(nullFd);
        nullFd = -1;
    }
}

int StopSignals::received()
{
    return static_cast<int>(received_);
}

int StopSignals::resumes()
{
    return 0;
}

std::string signalName(int signal)
{
    switch (signal) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGBREAK: return "SIGBREAK";
    case SIGABRT: return "SIGABRT";
    case SIGSEGV: return "SIGSEGV";
    case SIGILL: return "SIGILL";
    case SIGFPE: return "SIGFPE";
    default: return "signal " + std::to_string(signal);
    }
}

void StopSignals::setScreenText(std::string, std::string) {}

namespace {

volatile LONG commandInterrupted = 0;

// Registered after the session's own handler, so asked before it: Ctrl-C is the command's, Ctrl-Break
// and the rest go on to the session's.
BOOL WINAPI onCommandInterrupt(DWORD event)
{
    if (event != CTRL_C_EVENT) {
        return FALSE;
    }
    InterlockedExchange(&commandInterrupted, 1);
    return TRUE;
}

} // namespace

CommandInterrupt::CommandInterrupt()
{
    commandInterrupted = 0;
    SetConsoleCtrlHandler(onCommandInterrupt, TRUE);
}

CommandInterrupt::~CommandInterrupt()
{
    SetConsoleCtrlHandler(onCommandInterrupt, FALSE);
}

bool CommandInterrupt::requested()
{
    return commandInterrupted != 0;
}

void CommandInterrupt::clear()
{
    InterlockedExchange(&commandInterrupted, 0);
}

} // namespace platform
