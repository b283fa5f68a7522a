#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string_view>

#include "platform/common/terminal_abilities.h"
#include "platform/terminal.h"

namespace platform {

namespace {

volatile std::sig_atomic_t resized = 0;
struct sigaction previousResize {};

void onResize(int)
{
    resized = 1;
}

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
    struct sigaction resize {};
    resize.sa_handler = onResize;
    sigemptyset(&resize.sa_mask);
    resize.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &resize, &previousResize);
    resized = 1;
}

ResizeWatch::~ResizeWatch()
{
    sigaction(SIGWINCH, &previousResize, nullptr);
}

bool ResizeWatch::changed()
{
    if (resized == 0) {
        return false;
    }
    resized = 0;
    return true;
}

} // namespace platform
