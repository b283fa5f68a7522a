#include <windows.h>

#include <io.h>

#include "platform/line_editor.h"
#include "platform/stop_signals.h"
#include "platform/windows/console.h"
#include "platform/windows/wide_text.h"

namespace platform {

namespace {

volatile LONG interrupted = 0;

// Ctrl-C while a line is read drops the line; the console goes on.
BOOL WINAPI onInterrupt(DWORD event)
{
    if (event != CTRL_C_EVENT) {
        return FALSE;
    }
    interrupted = 1;
    return TRUE;
}

} // namespace

// The console edits the line itself (arrows, Home, End, its history of the session on Up and F7)
// and hands over the whole line when Enter is pressed.
struct LineEditor::Editing {
    HANDLE input;  // the console's input, read in UTF-16
    HANDLE output; // the console's output, written in UTF-16
};

LineEditor::LineEditor(std::FILE* in, std::FILE* out, std::string) : in_(in), out_(out)
{
    // The console keeps its own history for the session; nothing of it can be loaded from a file.
    HANDLE input = consoleOf(in);
    HANDLE output = consoleOf(out);
    if (input && output) {
        editing_ = std::make_unique<Editing>(Editing{input, output});
    }
}

LineEditor::~LineEditor() = default;

bool LineEditor::read(std::string_view prompt, std::string& line)
{
    line.clear();
    if (!editing_) {
        return readPlain(line);
    }
    std::fflush(out_);
    const std::wstring shown = wideText(std::string(prompt));
    std::wstring typed;
    SetConsoleCtrlHandler(onInterrupt, TRUE);
    bool ended = false;
    for (bool prompted = false; !ended;) {
        if (!prompted) {
            DWORD written = 0;
            WriteConsoleW(editing_->output, shown.data(), static_cast<DWORD>(shown.size()), &written, nullptr);
            prompted = true;
        }
        interrupted = 0;
        wchar_t buffer[1024];
        DWORD got = 0;
        const bool read = ReadConsoleW(editing_->input, buffer, 1024, &got, nullptr);
        if (StopSignals::received() != 0) {
            ended = true;
        } else if (interrupted != 0 || (read && got == 0) || (!read && GetLastError() == ERROR_OPERATION_ABORTED)) {
            // A line read always ends in a line break: none means that Ctrl-C cut the read short,
            // and its handler, on a thread of its own, may not have run yet.
            std::fputs("^C\n", out_);
            std::fflush(out_);
            typed.clear();
            prompted = false;
        } else if (!read || (typed.empty() && got > 0 && buffer[0] == 0x1a)) {
            ended = true; // Ctrl-Z at the start of a line, then Enter: the end of input
        } else {
            typed.append(buffer, got);
            if (typed.ends_with(L'\n')) {
                break;
            }
        }
    }
    SetConsoleCtrlHandler(onInterrupt, FALSE);
    if (ended) {
        std::fputc('\n', out_);
        return false;
    }
    while (!typed.empty() && (typed.back() == L'\n' || typed.back() == L'\r')) {
        typed.pop_back();
    }
    line = narrowText(typed);
    return true;
}

} // namespace platform
