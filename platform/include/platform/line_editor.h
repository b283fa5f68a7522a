#pragma once
// Reads console lines. When input and output are both a terminal it edits them: on POSIX systems
// with libedit, by characters (UTF-8), long lines wrapped and redrawn, Tab completing the first
// word from the names the session knows, Ctrl-C dropping the line, and a bounded history kept
// across sessions in a file; on Windows with the console's own line editing and its history of
// the session, Ctrl-C dropping the line. Otherwise it reads plain lines and shows no prompt.
//
// Not provided on Windows: Tab completion, and a history kept past the session.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class LineEditor {
public:
    static constexpr int kHistorySize = 1000; // entries kept in the history file

    // `in` and `out` stay open for the editor's lifetime. `historyPath` empty: the history lives in
    // memory only.
    LineEditor(std::FILE* in, std::FILE* out, std::string historyPath);
    ~LineEditor();
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // False at end of input (Ctrl-D on an empty line; on Windows Ctrl-Z, then Enter).
    bool read(std::string_view prompt, std::string& line);

    // The words Tab may complete the word under the cursor to, given the words before it on the
    // line; asked at each Tab.
    std::function<std::vector<std::string>(const std::vector<std::string>& before)> completions;

private:
    struct Editing; // the system's editor, while input and output are a terminal

    bool readPlain(std::string& line);

    std::FILE* in_;
    std::FILE* out_;
    std::unique_ptr<Editing> editing_; // null off a terminal
};

} // namespace platform
