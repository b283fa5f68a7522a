#include "line_editor.h"

#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "write_all.h"

namespace arena {

namespace {

// 0 at end of input or on an error.
int readByte(int fd, char& c)
{
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got > 0 ? 1 : 0;
    }
}

// Raw mode for as long as it lives.
class RawMode {
public:
    explicit RawMode(int fd) : fd_(fd)
    {
        ok_ = ::tcgetattr(fd_, &saved_) == 0;
        if (ok_) {
            termios raw = saved_;
            raw.c_lflag &= static_cast<tcflag_t>(~(ECHO | ICANON | IEXTEN));
            raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL));
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            ok_ = ::tcsetattr(fd_, TCSANOW, &raw) == 0;
        }
    }
    ~RawMode()
    {
        if (ok_) {
            ::tcsetattr(fd_, TCSANOW, &saved_);
        }
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;
    bool ok() const { return ok_; }

private:
    int fd_;
    termios saved_{};
    bool ok_ = false;
};

} // namespace

LineEditor::LineEditor(int inFd, int outFd)
    : in_(inFd), out_(outFd), terminal_(::isatty(inFd) == 1 && ::isatty(outFd) == 1)
{
}

bool LineEditor::read(std::string_view prompt, std::string& line)
{
    line.clear();
    if (terminal_) {
        return readRaw(prompt, line);
    }
    writeAll(out_, prompt);
    char c = 0;
    bool any = false;
    while (readByte(in_, c)) {
        any = true;
        if (c == '\n') {
            return true;
        }
        line += c;
    }
    return any;
}

void LineEditor::redraw(std::string_view prompt, const std::string& line, size_t cursor)
{
    std::string text = "\r\x1b[K";
    text += prompt;
    text += line;
    if (cursor < line.size()) {
        text += "\x1b[";
        text += std::to_string(line.size() - cursor);
        text += 'D';
    }
    writeAll(out_, text);
}

bool LineEditor::readRaw(std::string_view prompt, std::string& line)
{
    RawMode raw(in_);
    if (!raw.ok()) {
        terminal_ = false;
        return read(prompt, line);
    }
    size_t cursor = 0;
    size_t browsing = history.size(); // the history entry shown; history.size() is the new line
    std::string draft;                // the new line, kept while browsing
    redraw(prompt, line, cursor);
    char c = 0;
    while (readByte(in_, c)) {
        if (c == '\r' || c == '\n') {
            writeAll(out_, "\r\n");
            if (!line.empty() && line.find_first_not_of(" \t") != std::string::npos &&
                (history.empty() || history.back() != line)) {
                history.push_back(line);
            }
            return true;
        }
        if (c == 4) { // Ctrl-D
            if (line.empty()) {
                writeAll(out_, "\r\n");
                return false;
            }
            continue;
        }
        if (c == 3) { // Ctrl-C drops the line
            writeAll(out_, "^C\r\n");
            line.clear();
            cursor = 0;
            browsing = history.size();
        } else if (c == 127 || c == 8) {
            if (cursor > 0) {
                line.erase(--cursor, 1);
            }
        } else if (c == 1) {
            cursor = 0;
        } else if (c == 5) {
            cursor = line.size();
        } else if (c == 21) {
            line.erase(0, cursor);
            cursor = 0;
        } else if (c == 27) {
            char a = 0;
            char b = 0;
            if (!readByte(in_, a) || !readByte(in_, b) || (a != '[' && a != 'O')) {
                continue;
            }
            if (b == 'A' && browsing > 0) {
                if (browsing == history.size()) {
                    draft = line;
                }
                line = history[--browsing];
                cursor = line.size();
            } else if (b == 'B' && browsing < history.size()) {
                ++browsing;
                line = browsing == history.size() ? draft : history[browsing];
                cursor = line.size();
            } else if (b == 'C' && cursor < line.size()) {
                ++cursor;
            } else if (b == 'D' && cursor > 0) {
                --cursor;
            } else if (b >= '0' && b <= '9') {
                // Longer sequences (Delete, Home, End...) are read to their end and ignored.
                char d = 0;
                while (readByte(in_, d) && d >= '0' && d <= '9') {
                }
            }
        } else if (static_cast<unsigned char>(c) >= 0x20) {
            line.insert(cursor++, 1, c);
        }
        redraw(prompt, line, cursor);
    }
    writeAll(out_, "\r\n");
    return !line.empty();
}

} // namespace arena
