#include <windows.h>

#include <io.h>

#include <cstdlib>
#include <string_view>

#include "platform/common/terminal_abilities.h"
#include "platform/terminal.h"
#include "platform/windows/console.h"

namespace platform {

void* consoleOf(std::FILE* stream)
{
    const intptr_t handle = _get_osfhandle(_fileno(stream));
    DWORD mode = 0;
    if (handle == -1 || !GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode)) {
        return nullptr;
    }
    return reinterpret_cast<HANDLE>(handle);
}

bool isTerminal(std::FILE* stream)
{
    return consoleOf(stream) != nullptr;
}

void terminalSize(std::FILE* stream, int& columns, int& rows)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    HANDLE console = consoleOf(stream);
    if (console && GetConsoleScreenBufferInfo(console, &info)) {
        // The window, not the buffer: the buffer is usually far taller than what shows.
        columns = info.srWindow.Right - info.srWindow.Left + 1;
        rows = info.srWindow.Bottom - info.srWindow.Top + 1;
        if (columns > 0 && rows > 0) {
            return;
        }
    }
    columns = kFallbackColumns;
    rows = kFallbackRows;
}

TerminalAbilities terminalAbilities(std::FILE* stream)
{
    // A console takes the sequences once TerminalModes has switched it; TERM, when some shell
    // has set it, still has its say.
    const char* term = std::getenv("TERM");
    return abilitiesWith(isTerminal(stream) && !(term && std::string_view(term) == "dumb"));
}

TerminalModes::TerminalModes(std::FILE* out)
{
    HANDLE console = consoleOf(out);
    DWORD mode = 0;
    if (!console || !GetConsoleMode(console, &mode)) {
        return;
    }
    mode_ = mode;
    console_ = console;
    SetConsoleMode(console, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    if (const UINT page = GetConsoleOutputCP(); page != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        codePage_ = page;
    }
}

TerminalModes::~TerminalModes()
{
    if (console_) {
        SetConsoleMode(static_cast<HANDLE>(console_), mode_);
    }
    if (codePage_ != 0) {
        SetConsoleOutputCP(codePage_);
    }
}

ResizeWatch::ResizeWatch(std::FILE* out) : out_(out) {}

ResizeWatch::~ResizeWatch() = default;

bool ResizeWatch::changed()
{
    // A console tells a resize only among its input events, which the arena does not read while
    // it plays: the size is asked at each look instead.
    int columns = 0;
    int rows = 0;
    terminalSize(out_, columns, rows);
    if (columns == columns_ && rows == rows_) {
        return false;
    }
    columns_ = columns;
    rows_ = rows;
    return true;
}

} // namespace platform
