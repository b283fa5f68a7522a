#pragma once
// Reads console lines with a prompt. On a terminal it edits in raw mode with an in-memory
// history (up and down arrows, left and right, backspace, Ctrl-A/E/U); otherwise it reads plain
// lines. The terminal is back in its own mode between reads and on every way out.

#include <string>
#include <string_view>
#include <vector>

namespace arena {

class LineEditor {
public:
    LineEditor(int inFd, int outFd); // file descriptors, open for the editor's lifetime
    // False at end of input (Ctrl-D on an empty line).
    bool read(std::string_view prompt, std::string& line);

    std::vector<std::string> history; // oldest first; blank lines and repeats are not added

private:
    bool readRaw(std::string_view prompt, std::string& line);
    void redraw(std::string_view prompt, const std::string& line, size_t cursor);
    int in_;
    int out_;
    bool terminal_;
};

} // namespace arena
