#pragma once
// The terminal the arena draws on: whether a stream is one, its size, the escape sequences that
// colour text and move the cursor, and word of a change of its size.
//
// POSIX: isatty, the size from TIOCGWINSZ, a resize from SIGWINCH. Windows: the console put into
// virtual-terminal mode and the UTF-8 code page; the size asked at each look, since a console
// tells a resize only among input events. Not provided: input modes (the line editor owns them).

#include <cstdio>

namespace platform {

// True when `stream` is a terminal (on Windows, a console).
bool isTerminal(std::FILE* stream);

// The size in characters of the terminal `stream` is, or 80 × 24 when it cannot be asked.
void terminalSize(std::FILE* stream, int& columns, int& rows);

// What may be sent to the terminal `stream` besides plain lines, as the user's environment says:
// no colours when NO_COLOR is set and not empty; neither colours nor cursor moves on a terminal
// that TERM calls "dumb", and on POSIX systems on one with no TERM at all (a Windows console sets
// none). Both false when `stream` is no terminal.
struct TerminalAbilities {
    bool cursorMoves = false;
    bool colours = false;
};
TerminalAbilities terminalAbilities(std::FILE* stream);

// Makes the terminal `out` is take escape sequences for colours and cursor moves, and UTF-8 text,
// for as long as the object lives; its modes as they were come back after. Terminals on POSIX
// systems take both already; a Windows console is switched to virtual-terminal processing.
class TerminalModes {
public:
    explicit TerminalModes(std::FILE* out);
    ~TerminalModes();
    TerminalModes(const TerminalModes&) = delete;
    TerminalModes& operator=(const TerminalModes&) = delete;

private:
    // Windows only: the console `out` writes to (null when none was changed), its output mode and
    // code page before (0 when unchanged).
    [[maybe_unused]] void* console_ = nullptr;
    [[maybe_unused]] unsigned long mode_ = 0;
    [[maybe_unused]] unsigned codePage_ = 0;
};

// Tells a change of the terminal's size, for as long as the object lives; one at a time.
class ResizeWatch {
public:
    explicit ResizeWatch(std::FILE* out); // `out` stays open for the watch's lifetime
    ~ResizeWatch();
    ResizeWatch(const ResizeWatch&) = delete;
    ResizeWatch& operator=(const ResizeWatch&) = delete;

    // True at the first call and once after each change since.
    bool changed();

private:
    // Where the system is asked rather than told (Windows): the terminal and its size last seen.
    [[maybe_unused]] std::FILE* out_;
    [[maybe_unused]] int columns_ = -1;
    [[maybe_unused]] int rows_ = -1;
};

} // namespace platform
