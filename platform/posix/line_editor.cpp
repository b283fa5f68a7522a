#include "platform/line_editor.h"

#include <histedit.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <string>

#include "platform/terminal.h"

namespace platform {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
}

std::string toUtf8(std::wstring_view text)
{
    std::string out;
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (const wchar_t c : text) {
        const size_t size = std::wcrtomb(bytes, c, &state);
        if (size == static_cast<size_t>(-1)) {
            out += '?';
            state = {};
        } else {
            out.append(bytes, size);
        }
    }
    return out;
}

// Columns a word takes on the terminal: one a character.
size_t columnsOf(std::string_view word)
{
    return static_cast<size_t>(
        std::count_if(word.begin(), word.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The words in columns, down then across as a shell lists them, as many columns as `width` holds;
// a word wider than that on a line of its own. Each line ends in a line break.
std::string inColumns(const std::vector<std::string>& words, size_t width)
{
    size_t widest = 1;
    for (const std::string& word : words) {
        widest = std::max(widest, columnsOf(word));
    }
    const size_t gap = 2;
    const size_t columns = std::max<size_t>(1, (width + gap) / (widest + gap));
    const size_t rows = (words.size() + columns - 1) / columns;
    std::string text;
    for (size_t row = 0; row < rows; ++row) {
        for (size_t at = row; at < words.size(); at += rows) {
            text += words[at];
            if (at + rows < words.size()) {
                text.append(widest + gap - columnsOf(words[at]), ' ');
            }
        }
        text += '\n';
    }
    return text;
}

std::wstring toWide(std::string_view text)
{
    std::wstring out;
    std::mbstate_t state{};
    for (size_t at = 0; at < text.size();) {
        wchar_t c = 0;
        const size_t size = std::mbrtowc(&c, text.data() + at, text.size() - at, &state);
        if (size == 0 || size > text.size() - at) {
            out += L'?';
            state = {};
            ++at;
        } else {
            out += c;
            at += size;
        }
    }
    return out;
}

// A history file of a thousand lines is far smaller; one larger is not read whole into memory.
constexpr off_t kHistoryBytes = 4 << 20;

// Why the history file `path` is neither read nor written, or empty when it may be: it must be a
// regular file (libedit would block on a FIFO's open, or wait for its writer) of a bounded size.
// One that is missing is made by the first save.
std::string historyProblem(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    return info.st_size > kHistoryBytes ? "over " + std::to_string(kHistoryBytes) + " bytes" : std::string();
}

// Whether the history may go on using `path`; when not, says why once, on standard error.
bool historyUsable(const std::string& path)
{
    const std::string problem = historyProblem(path);
    if (!problem.empty()) {
        const std::string note =
            "arena: history " + path + " skipped (" + problem + "); this session's lines are kept in memory only\n";
        std::fputs(note.c_str(), stderr);
    }
    return problem.empty();
}

} // namespace

struct LineEditor::Editing {
    Editing(LineEditor& editor, std::string historyPath);
    ~Editing();
    Editing(const Editing&) = delete;
    Editing& operator=(const Editing&) = delete;

    static Editing& of(EditLine* editLine);
    static unsigned char complete(EditLine* editLine, int key);
    // Ctrl-D: the end of input on an empty line, else deletes the character under the cursor.
    static unsigned char endOrDelete(EditLine* editLine, int key);
    static const wchar_t* promptOf(EditLine* editLine);

    LineEditor& editor;           // the owner, which outlives this
    std::string historyPath;      // empty: the history lives in memory only
    EditLine* editLine = nullptr; // null when libedit could not start
    HistoryW* history = nullptr;  // the lines entered, loaded from and saved to `historyPath`
    std::wstring prompt;          // shown by libedit for the read under way
};

LineEditor::LineEditor(std::FILE* in, std::FILE* out, std::string historyPath) : in_(in), out_(out)
{
    if (::isatty(::fileno(in)) != 1 || ::isatty(::fileno(out)) != 1) {
        return;
    }
    editing_ = std::make_unique<Editing>(*this, std::move(historyPath));
    if (!editing_->editLine) {
        editing_.reset();
    }
}

LineEditor::~LineEditor() = default;

LineEditor::Editing::Editing(LineEditor& owner, std::string path) : editor(owner), historyPath(std::move(path))
{
    // Characters are decoded by the locale's character set; the console's texts are UTF-8.
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(::nl_langinfo(CODESET), "UTF-8") != 0) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
    editLine = el_init("arena", editor.in_, editor.out_, stderr);
    if (!editLine) {
        return;
    }
    history = history_winit();
    HistEventW event{};
    history_w(history, &event, H_SETSIZE, kHistorySize);
    history_w(history, &event, H_SETUNIQUE, 1);
    if (!historyPath.empty() && !historyUsable(historyPath)) {
        historyPath.clear();
    }
    if (!historyPath.empty()) {
        history_w(history, &event, H_LOAD, historyPath.c_str());
    }
    el_wset(editLine, EL_EDITOR, L"emacs");
    // libedit gives the terminal back on a stop or a termination and follows a resize.
    el_wset(editLine, EL_SIGNAL, 1);
    el_wset(editLine, EL_HIST, history_w, history);
    el_wset(editLine, EL_CLIENTDATA, this);
    el_wset(editLine, EL_PROMPT, promptOf);
    el_wset(editLine, EL_ADDFN, L"arena-complete", L"Complete a command or variable name", complete);
    el_wset(editLine, EL_BIND, L"^I", L"arena-complete", nullptr);
    el_wset(editLine, EL_ADDFN, L"arena-end-or-delete", L"Leave on an empty line, else delete a character",
            endOrDelete);
    el_wset(editLine, EL_BIND, L"^D", L"arena-end-or-delete", nullptr);
}

LineEditor::Editing::~Editing()
{
    if (editLine) {
        el_end(editLine);
    }
    if (history) {
        history_wend(history);
    }
}

LineEditor::Editing& LineEditor::Editing::of(EditLine* editLine)
{
    void* editing = nullptr;
    el_wget(editLine, EL_CLIENTDATA, &editing);
    return *static_cast<Editing*>(editing);
}

bool LineEditor::read(std::string_view prompt, std::string& line)
{
    line.clear();
    if (!editing_) {
        return readPlain(line);
    }
    Editing& editing = *editing_;
    editing.prompt = toWide(prompt);
    // Ctrl-C interrupts the read and drops the line; the console goes on.
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);
    const wchar_t* text = nullptr;
    for (;;) {
        interrupted = 0;
        int count = 0;
        text = el_wgets(editing.editLine, &count);
        if (text || !interrupted) {
            break;
        }
        std::fputs("^C\n", out_);
        std::fflush(out_);
    }
    sigaction(SIGINT, &previous, nullptr);
    if (!text) {
        std::fputc('\n', out_);
        return false;
    }
    std::wstring_view typed(text);
    if (typed.ends_with(L'\n')) {
        typed.remove_suffix(1);
    }
    line = toUtf8(typed);
    if (typed.find_first_not_of(L" \t") != std::wstring_view::npos) {
        HistEventW event{};
        history_w(editing.history, &event, H_ENTER, std::wstring(typed).c_str());
        if (!editing.historyPath.empty() && !historyUsable(editing.historyPath)) {
            editing.historyPath.clear(); // what took its place since is left alone
        }
        if (!editing.historyPath.empty()) {
            std::error_code ignored; // without the folder the history stays in memory
            std::filesystem::create_directories(std::filesystem::path(editing.historyPath).parent_path(), ignored);
            history_w(editing.history, &event, H_SAVE, editing.historyPath.c_str());
        }
    }
    return true;
}

const wchar_t* LineEditor::Editing::promptOf(EditLine* editLine)
{
    return of(editLine).prompt.c_str();
}

unsigned char LineEditor::Editing::complete(EditLine* editLine, int)
{
    const LineEditor& editor = of(editLine).editor;
    const LineInfoW* info = el_wline(editLine);
    const std::string before =
        toUtf8(std::wstring_view(info->buffer, static_cast<size_t>(info->cursor - info->buffer)));
    const size_t blank = before.find_last_of(" \t");
    const std::string typed = blank == std::string::npos ? before : before.substr(blank + 1);
    std::vector<std::string> words;
    for (size_t at = 0; blank != std::string::npos && at < blank;) {
        const size_t start = before.find_first_not_of(" \t", at);
        if (start == std::string::npos || start >= blank) {
            break;
        }
        const size_t end = before.find_first_of(" \t", start);
        words.push_back(before.substr(start, end - start));
        at = end;
    }
    std::vector<std::string> matches = editor.completions ? editor.completions(words) : std::vector<std::string>();
    std::erase_if(matches, [&](const std::string& word) { return !word.starts_with(typed); });
    std::sort(matches.begin(), matches.end());
    matches.erase(std::unique(matches.begin(), matches.end()), matches.end());
    if (matches.empty()) {
        return CC_REFRESH_BEEP;
    }
    size_t common = matches.front().size();
    for (const std::string& word : matches) {
        common = std::min(
            common, static_cast<size_t>(
                        std::mismatch(word.begin(), word.end(), matches.front().begin(), matches.front().end()).first -
                        word.begin()));
    }
    if (matches.size() == 1 || common > typed.size()) {
        std::string rest = matches.front().substr(typed.size(), common - typed.size());
        rest += matches.size() == 1 ? " " : "";
        el_winsertstr(editLine, toWide(rest).c_str());
        return CC_REFRESH;
    }
    // Nothing to add: show the choices under the line, then the line again.
    int columns = 0;
    int rows = 0;
    terminalSize(editor.out_, columns, rows);
    const std::string list = "\n" + inColumns(matches, static_cast<size_t>(std::max(columns, 1)));
    std::fputs(list.c_str(), editor.out_);
    return CC_REDISPLAY;
}

unsigned char LineEditor::Editing::endOrDelete(EditLine* editLine, int)
{
    const LineInfoW* info = el_wline(editLine);
    if (info->buffer == info->lastchar) {
        return CC_EOF; // quietly: libedit's own binding shows the key as ^D first
    }
    if (info->cursor == info->lastchar) {
        return CC_ERROR;
    }
    el_cursor(editLine, 1);
    el_wdeletestr(editLine, 1);
    return CC_REFRESH;
}

} // namespace platform
