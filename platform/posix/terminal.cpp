#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string_view>

#include "platform/common/terminal_abilities.h"
#include "platform/posix/signal_flag.h"
#include "platform/terminal.h"

namespace platform {

namespace {

struct sigaction previousResize {};

} // namespace

bool isTerminal(std::FILE* stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

void terminalSize(std::FILE* stream, int& columns, int& rows)
{
    winsize size{};
    if (::ioctl(::fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0) {
        columns = size.ws_col;
        rows = size.ws_row;
        return;
    }
    columns = kFallbackColumns;
    rows = kFallbackRows;
}

TerminalAbilities terminalAbilities(std::FILE* stream)
{
    const char* term = std::getenv("TERM");
    return abilitiesWith(isTerminal(stream) && term && *term && std::string_view(term) != "dumb");
}

TerminalModes::TerminalModes(std::FILE*) {}

TerminalModes::~TerminalModes() = default;

ResizeWatch::ResizeWatch(std::FILE* out) : out_(out)
{
    previousResize = catchSignal(SIGWINCH);
    // The first look sees a change: the view is drawn for the size there is.
    signalFlag(SIGWINCH) = 1;
}

ResizeWatch::~ResizeWatch()
{
    restoreSignal(SIGWINCH, previousResize);
}

bool ResizeWatch::changed()
{
    if (signalFlag(SIGWINCH) == 0) {
        return false;
    }
    signalFlag(SIGWINCH) = 0;
    return true;
}

} // namespace platform
