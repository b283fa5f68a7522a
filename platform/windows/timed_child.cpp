#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <utility>
#include <vector>

#include "platform/common/child_end.h"
#include "platform/stop_signals.h"
#include "platform/timed_child.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

// The first argument of a program run again as a child; the channel's handle follows it.
constexpr std::wstring_view kChildMarker = L"--volanko-timed-child";

// The exit code of a process that Ctrl-C ended (STATUS_CONTROL_C_EXIT).
constexpr DWORD kControlCExit = 0xC000013A;

// The names of the exceptions that end a process, as its exit code.
constexpr std::pair<DWORD, const char*> kExceptions[] = {
    {0xC0000005, "access violation"},
    {0xC00000FD, "stack overflow"},
    {0xC000001D, "illegal instruction"},
    {0xC0000096, "privileged instruction"},
    {0xC0000094, "integer divide by zero"},
    {0xC0000095, "integer overflow"},
    {0xC000008C, "array bounds exceeded"},
    {0xC000008D, "floating-point denormal operand"},
    {0xC000008E, "floating-point divide by zero"},
    {0xC000008F, "floating-point inexact result"},
    {0xC0000090, "floating-point invalid operation"},
    {0xC0000091, "floating-point overflow"},
    {0xC0000092, "floating-point stack check"},
    {0xC0000093, "floating-point underflow"},
    {0xC0000006, "in-page error"},
    {0xC0000025, "noncontinuable exception"},
    {0xC0000026, "invalid disposition"},
    {0xC0000374, "heap corruption"},
    {0xC0000409, "stack buffer overrun"},
    {0x80000002, "datatype misalignment"},
    {0x80000003, "breakpoint"},
};

// The exception that ended a process with exit code `code`; empty when the code is an exit status.
std::string exceptionName(DWORD code)
{
    for (const auto& [exception, name] : kExceptions) {
        if (exception == code) {
            return name;
        }
    }
    if ((code & 0xF0000000) == 0xC0000000) {
        char text[32];
        std::snprintf(text, sizeof text, "exception 0x%08lX", static_cast<unsigned long>(code));
        return text;
    }
    return {};
}

// `word` as one argument of a command line, the way the C runtime splits it again.
void appendArgument(std::wstring& line, const std::wstring& word)
{
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += word;
        return;
    }
    line += L'"';
    for (auto at = word.begin();; ++at) {
        size_t backslashes = 0;
        for (; at != word.end() && *at == L'\\'; ++at) {
            ++backslashes;
        }
        if (at == word.end()) {
            line.append(backslashes * 2, L'\\');
            break;
        }
        if (*at == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        line += *at;
    }
    line += L'"';
}

std::wstring programPath()
{
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
        if (length == 0) {
            return {};
        }
        if (length < self.size()) {
            self.resize(length);
            return self;
        }
        self.resize(self.size() * 2);
    }
}

// An inheritable copy of the standard handle `which`; null when there is none.
HANDLE inheritableCopy(DWORD which)
{
    HANDLE original = GetStdHandle(which);
    HANDLE copy = nullptr;
    if (original == nullptr || original == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), original, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) {
        return nullptr;
    }
    return copy;
}

// Hands what the pipe holds now to `read`, without waiting. False once every writer has gone.
bool drain(HANDLE pipe, const std::function<void(std::string_view data)>& read)
{
    for (;;) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) {
            return false;
        }
        if (waiting == 0) {
            return true;
        }
        char buffer[4096];
        DWORD got = 0;
        if (!ReadFile(pipe, buffer, waiting < sizeof buffer ? waiting : sizeof buffer, &got, nullptr) || got == 0) {
            return false;
        }
        read({buffer, got});
    }
}

// A job that ends every process in it when its last handle closes, and lets a crash end its
// process at once instead of waiting on a report dialog.
HANDLE makeJob()
{
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) {
        return nullptr;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags =
        JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// A child started suspended, with the standard handles and the channel's write end as the only
// handles it inherits. With `job`, the child starts inside it, so that no moment passes in which
// the end of this process would leave it behind; `inJob` tells whether the system could.
bool startChild(const std::wstring& self, std::wstring& line, HANDLE channel, HANDLE job, PROCESS_INFORMATION& process,
                bool& inJob, std::string& error)
{
    HANDLE input = inheritableCopy(STD_INPUT_HANDLE);
    HANDLE errors = inheritableCopy(STD_ERROR_HANDLE);
    HANDLE inherited[3] = {channel};
    DWORD count = 1;
    for (HANDLE each : {input, errors}) {
        if (each) {
            inherited[count++] = each;
        }
    }
    bool started = false;
    // Systems without the job attribute refuse it; they get the job assigned after the start.
    for (inJob = job != nullptr;; inJob = false) {
        const DWORD attributeCount = inJob ? 2 : 1;
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, attributeCount, 0, &size);
        std::vector<char> storage(size);
        auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage.data());
        started = InitializeProcThreadAttributeList(attributes, attributeCount, 0, &size) &&
                  UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                            count * sizeof(HANDLE), nullptr, nullptr) &&
                  (!inJob || UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_JOB_LIST, &job, sizeof job,
                                                       nullptr, nullptr));
        if (started) {
            STARTUPINFOEXW startup{};
            startup.StartupInfo.cb = sizeof startup;
            startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
            startup.StartupInfo.hStdInput = input;
            // The child's standard output goes to standard error, so that a plug-in that prints
            // cannot forge a report line.
            startup.StartupInfo.hStdOutput = errors;
            startup.StartupInfo.hStdError = errors;
            startup.lpAttributeList = attributes;
            started = CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, TRUE,
                                     CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                                     &startup.StartupInfo, &process);
            DeleteProcThreadAttributeList(attributes);
        }
        if (started || !inJob) {
            break;
        }
    }
    if (!started) {
        error = "cannot start a child: " + systemMessage(GetLastError());
    }
    for (HANDLE each : {input, errors}) {
        if (each) {
            CloseHandle(each);
        }
    }
    return started;
}

// A crash ends the child at once, its exception's code the exit code, with no debugger started and
// no report made on the way.
LONG WINAPI endOnCrash(EXCEPTION_POINTERS* exception)
{
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

ChildEnd runTimedChild(double timeLimitSeconds, const std::vector<std::string>& words, const ChildBody&,
                       const std::function<void(std::string_view data)>& read)
{
    ChildEnd end;
    const std::wstring self = programPath();
    if (self.empty()) {
        end.error = "cannot find this program's file: " + systemMessage(GetLastError());
        return end;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        end.error = "cannot make a pipe: " + systemMessage(GetLastError());
        return end;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring line = L"\"" + self + L"\" ";
    line += kChildMarker;
    line += L' ';
    line += std::to_wstring(reinterpret_cast<uintptr_t>(writeEnd));
    for (const std::string& word : words) {
        line += L' ';
        appendArgument(line, wideText(word));
    }
    // What is buffered here is not the child's to write.
    std::fflush(stdout);
    std::fflush(stderr);
    PROCESS_INFORMATION process{};
    // Without a job (the system refused one), a timeout still ends the child itself.
    HANDLE job = makeJob();
    bool inJob = false;
    const bool started = startChild(self, line, writeEnd, job, process, inJob, end.error);
    CloseHandle(writeEnd);
    if (!started) {
        if (job) {
            CloseHandle(job);
        }
        CloseHandle(readEnd);
        return end;
    }
    if (job && !inJob && !AssignProcessToJobObject(job, process.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    const auto kill = [&] {
        if (job) {
            TerminateJobObject(job, 1);
        }
        TerminateProcess(process.hProcess, 1);
    };
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeLimitSeconds);
    bool open = true;
    bool timedOut = false;
    int interrupted = 0;
    for (bool ended = false; !ended;) {
        interrupted = StopSignals::received();
        timedOut = interrupted == 0 && std::chrono::steady_clock::now() >= deadline;
        if (interrupted != 0 || timedOut) {
            kill();
            WaitForSingleObject(process.hProcess, INFINITE);
            break;
        }
        if (open) {
            open = drain(readEnd, read);
        }
        ended = WaitForSingleObject(process.hProcess, open ? 20 : 2) == WAIT_OBJECT_0;
    }
    // What the child wrote just before it ended is still in the pipe.
    if (open && !timedOut && interrupted == 0) {
        drain(readEnd, read);
    }
    CloseHandle(readEnd);
    DWORD code = 0;
    const bool known = GetExitCodeProcess(process.hProcess, &code);
    // Whatever the plug-in left running in the child's job ends with it.
    if (job) {
        TerminateJobObject(job, 1);
        CloseHandle(job);
    }
    CloseHandle(process.hProcess);

    // The console's Ctrl-C reaches the child as well, which may end before this process hears of it.
    if (interrupted == 0 && known && code == kControlCExit) {
        interrupted = SIGINT;
    }
    return childEndOf(interrupted, timedOut, known ? exceptionName(code) : std::string(),
                      known ? static_cast<int>(code) : -1);
}

void silenceOutput()
{
    std::fflush(stdout);
    std::fflush(stderr);
    const int null = _open("NUL", _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (null >= 0) {
        _dup2(null, 1);
        _dup2(null, 2);
        _close(null);
    }
}

void runIfChild(const ChildBody& body)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        return;
    }
    if (count < 3 || kChildMarker != arguments[1]) {
        LocalFree(arguments);
        return;
    }
    HANDLE channel = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(arguments[2], nullptr, 10)));
    std::vector<std::string> words;
    for (int i = 3; i < count; ++i) {
        words.push_back(narrowText(arguments[i]));
    }
    LocalFree(arguments);
    // Nothing the plug-in starts inherits the channel, and a crash shows no dialog box.
    SetHandleInformation(channel, HANDLE_FLAG_INHERIT, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endOnCrash);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(channel), _O_WRONLY | _O_BINARY);
    body(fd, words);
    std::fflush(stdout);
    std::fflush(stderr);
    _exit(0);
}

} // namespace platform
