#pragma once
// Reads console lines. When input and output are both a terminal it edits with libedit: by
// characters (UTF-8), long lines wrapped and redrawn, Tab completing the first word from the names
// the session knows, Ctrl-C dropping the line, and a bounded history kept across sessions in a
// file. Otherwise it reads plain lines and shows no prompt.

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

typedef struct editline EditLine;
typedef struct historyW HistoryW;

namespace arena {

class LineEditor {
public:
    static constexpr int kHistorySize = 1000; // entries kept in the history file

    // `in` and `out` stay open for the editor's lifetime. `historyPath` empty: the history lives in
    // memory only.
    LineEditor(std::FILE* in, std::FILE* out, std::string historyPath);
    ~LineEditor();
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // False at end of input (Ctrl-D on an empty line).
    bool read(std::string_view prompt, std::string& line);

    // The words Tab may complete the word under the cursor to, given the words before it on the
    // line; asked at each Tab.
    std::function<std::vector<std::string>(const std::vector<std::string>& before)> completions;

private:
    static unsigned char complete(EditLine* editLine, int key);
    static const wchar_t* promptOf(EditLine* editLine);
    bool readPlain(std::string& line);

    std::FILE* in_;
    std::FILE* out_;
    std::string historyPath_;
    EditLine* editLine_ = nullptr; // null off a terminal
    HistoryW* history_ = nullptr;
    std::wstring prompt_;
};

// $XDG_STATE_HOME/volanko/history, else ~/.local/state/volanko/history; empty when neither is known.
std::string defaultHistoryPath();

} // namespace arena
