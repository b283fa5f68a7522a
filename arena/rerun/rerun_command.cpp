#include "arena/rerun/rerun_command.h"

#include <algorithm>
#include <cstdio>

#include "arena/common/bounded_read.h"
#include "arena/common/concat.h"
#include "arena/common/escaped_text.h"
#include "arena/record/recorded_inputs.h"
#include "arena/record/recording_check.h"
#include "arena/record/recording_sink.h"
#include "platform/stop_signals.h"

namespace arena {

namespace {

// The recorded controls in place of the player's at each tick; before the first change, the
// player's own.
class RecordedControls final : public sim::ControlsTap {
public:
    explicit RecordedControls(const std::vector<ControlsChange>& changes) : changes_(changes) {}

    void atTick(int64_t tick, sim::Controls& controls) override
    {
        for (; next_ < changes_.size() && changes_[next_].tick <= tick; ++next_) {
            current_ = &changes_[next_].controls;
        }
        if (current_) {
            controls = *current_;
        }
    }

private:
    const std::vector<ControlsChange>& changes_;
    size_t next_ = 0;
    const sim::Controls* current_ = nullptr;
};

// Takes the re-simulation's recording piece by piece and compares it with the recorded text; the
// recorder writes whole lines, so a piece ends where a line does.
class ComparingSink final : public RecordingSink {
public:
    explicit ComparingSink(std::string_view recorded) : recorded_(recorded) {}

    bool write(std::string_view text, std::string& error) override
    {
        const std::string_view expected = recorded_.substr(std::min(at_, recorded_.size()), text.size());
        if (expected == text) {
            at_ += text.size();
            return true;
        }
        const auto mismatch = std::mismatch(text.begin(), text.end(), expected.begin(), expected.end());
        const size_t offset = at_ + static_cast<size_t>(mismatch.first - text.begin());
        const size_t lineStart = recorded_.rfind('\n', offset == 0 ? 0 : offset - 1);
        const size_t from = lineStart == std::string_view::npos || offset == 0 ? 0 : lineStart + 1;
        line_ = 1 + static_cast<size_t>(
                        std::count(recorded_.begin(), recorded_.begin() + static_cast<ptrdiff_t>(from), '\n'));
        recordedLine_ = lineAt(recorded_, from);
        // Kept as a copy: the text is the recorder's, gone after the call.
        replayedLine_ = lineAt(text, from >= at_ ? from - at_ : 0);
        error = "differs";
        return false;
    }

    // Once the recorder has finished: whether everything was written alike, and no more.
    bool same() const { return line_ == 0 && at_ == recorded_.size(); }
    size_t lines() const { return static_cast<size_t>(std::count(recorded_.begin(), recorded_.end(), '\n')); }

    // Where the first difference is: its line (1 for the header), and that line in each.
    size_t line() const { return line_ != 0 ? line_ : lines() + 1; }
    std::string_view recordedLine() const { return line_ != 0 ? recordedLine_ : lineAt(recorded_, at_); }
    std::string_view replayedLine() const { return replayedLine_; }

private:
    static std::string_view lineAt(std::string_view text, size_t from)
    {
        if (from >= text.size()) {
            return {};
        }
        const size_t end = text.find('\n', from);
        return text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    }

    std::string_view recorded_;
    size_t at_ = 0;   // bytes compared alike
    size_t line_ = 0; // the first line that differs; 0 while none
    std::string_view recordedLine_;
    std::string replayedLine_;
};

// A line in a message: 120 bytes of it, from a little before byte `column`, where it differs.
std::string excerpt(std::string_view line, size_t column)
{
    if (line.empty()) {
        return "(nothing)";
    }
    constexpr size_t kBefore = 40;
    constexpr size_t kShown = 120;
    const size_t from = column > kBefore ? column - kBefore : 0;
    return concat(from > 0 ? "..." : "", line.substr(std::min(from, line.size()), kShown),
                  line.size() > from + kShown ? "..." : "");
}

size_t firstDifference(std::string_view a, std::string_view b)
{
    return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

} // namespace

int runRerun(const SessionOptions& options, const RerunOptions& rerun, const SessionGround& ground)
{
    const std::string& file = rerun.recording;
    std::string why;
    bool refused = false;
    const auto read = readBounded(file, kRecordingLimit, "a recording", why, refused);
    if (!read) {
        warnLine(concat("arena rerun: cannot read ", file, ": ", why));
        return 1;
    }
    std::string_view text = *read;
    if (text.starts_with("\xef\xbb\xbf")) { // compared without it: the recorder writes none
        text.remove_prefix(3);
    }
    if (const RecordingCheck check = checkRecording(text); !check.error.empty()) {
        warnLine(concat("arena rerun: cannot play ", file, " again: ", check.error));
        return 1;
    }
    const auto inputs = readRecordedInputs(text, why);
    if (!inputs) {
        warnLine(concat("arena rerun: cannot play ", file, " again: ", why));
        return 1;
    }

    // Everything the session was given comes from the recording; only the plug-in is the caller's.
    SessionOptions replayed;
    replayed.plugin = options.plugin;
    replayed.seed = inputs->seed;
    replayed.fps = inputs->fps;
    replayed.noConfig = true;
    SessionKind kind;
    kind.command = inputs->session;
    kind.configByDefault = false;
    ComparingSink compared(text);
    kind.sink = &compared;
    kind.settings = inputs->setup.settings;
    SessionRun run(replayed, ground, std::move(kind));
    if (const int status = run.open(); status != 0) {
        return status;
    }
    Session& session = run.session();
    session.print = nullptr; // the recording is the output
    std::string error;
    for (const std::vector<std::string>& words : inputs->setup.lines) {
        session.runWords(words, error); // a line refused then is refused now: the recording holds its outcome
    }
    RecordedControls controls(inputs->controls);
    session.setControlsFeed(&controls);
    run.startRecording();

    const platform::StopSignals signals(true, false);
    const auto go = [&] { return platform::StopSignals::received() == 0 && !session.recorder()->failed(); };
    size_t next = 0;
    const auto runLinesDue = [&] {
        for (; next < inputs->lines.size() && inputs->lines[next].frame <= session.framesDrawn() && go(); ++next) {
            session.runWords(inputs->lines[next].words, error);
        }
    };
    while (session.framesDrawn() < inputs->frames && go()) {
        runLinesDue();
        if (session.framesDrawn() < inputs->frames && go()) {
            session.frame();
        }
    }
    runLinesDue();
    session.setControlsFeed(nullptr);
    const int stopped = platform::StopSignals::received();
    int status = run.finish(0);
    if (stopped != 0) {
        return platform::signalStatus(stopped);
    }
    if (!compared.same()) {
        warnLine(concat("arena rerun: ", file, " and its re-simulation differ at line ",
                        std::to_string(compared.line()), ":"));
        const size_t column = firstDifference(compared.recordedLine(), compared.replayedLine());
        warnLine(concat("  recorded:     ", excerpt(compared.recordedLine(), column)));
        warnLine(concat("  re-simulated: ", excerpt(compared.replayedLine(), column)));
        return status == 0 ? 1 : status;
    }
    if (status == 0) {
        printLine(concat(file, ": the same ", std::to_string(compared.lines()), " lines, byte for byte, from ",
                         std::to_string(inputs->frames), " frames and ", std::to_string(inputs->controls.size()),
                         " controls records played again"));
    }
    return status;
}

} // namespace arena
