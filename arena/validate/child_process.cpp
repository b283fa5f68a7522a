#include "arena/validate/child_process.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/timed_child.h"

namespace arena::validate {

namespace {

// Reports are lines; a reason with a line break in it would split into two.
std::string oneLine(std::string_view text)
{
    std::string line(text);
    for (char& c : line) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return line;
}

// Reads what the child sent: lines "N note", "F reason" and "P".
struct ChildReport {
    std::string pending;
    std::string lastNote;
    std::optional<std::string> failure;
    bool finished = false;

    void take(std::string_view data)
    {
        pending += data;
        size_t start = 0;
        for (size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n', start)) {
            line(std::string_view(pending).substr(start, end - start));
            start = end + 1;
        }
        pending.erase(0, start);
    }

    void line(std::string_view text)
    {
        if (text.empty()) {
            return;
        }
        const std::string_view rest = text.substr(text.size() > 1 ? 2 : 1);
        switch (text.front()) {
        case 'N': lastNote = rest; break;
        case 'F':
            failure = std::string(rest);
            finished = true;
            break;
        case 'P': finished = true; break;
        default: break;
        }
    }
};

} // namespace

void ChildChannel::send(char kind, std::string_view text)
{
    std::string line(1, kind);
    line += ' ';
    line += oneLine(text);
    line += '\n';
    platform::writeAll(fd_, line);
}

void ChildChannel::note(std::string_view text)
{
    send('N', text);
}

void finishChild(ChildChannel& channel, const std::optional<std::string>& failure)
{
    if (failure) {
        channel.send('F', *failure);
    } else {
        channel.send('P', "");
    }
}

namespace {

// The child's side: the task's body run, and its verdict sent.
void runTask(const ChildTask& task, int fd, const std::vector<std::string>& words)
{
    ChildChannel channel(fd);
    std::optional<std::string> failure;
    try {
        failure = task.body(channel, std::vector<std::string>(words.begin() + 1, words.end()));
    } catch (const std::exception& error) {
        failure = std::string("the validator itself threw: ") + error.what();
    } catch (...) {
        failure = "the validator itself threw";
    }
    finishChild(channel, failure);
}

} // namespace

ChildOutcome runInChild(double timeLimitSeconds, const ChildTask& task, const std::vector<std::string>& words)
{
    std::vector<std::string> taskWords{std::string(task.name)};
    taskWords.insert(taskWords.end(), words.begin(), words.end());
    ChildReport report;
    const platform::ChildEnd end = platform::runTimedChild(
        timeLimitSeconds, taskWords, [&task](int fd, const std::vector<std::string>& all) { runTask(task, fd, all); },
        [&report](std::string_view data) { report.take(data); });

    ChildOutcome outcome;
    outcome.lastNote = report.lastNote;
    switch (end.kind) {
    case platform::ChildEnd::Kind::NotStarted:
        outcome.kind = ChildOutcome::Kind::NotStarted;
        outcome.reason = end.error;
        break;
    case platform::ChildEnd::Kind::Interrupted:
        outcome.kind = ChildOutcome::Kind::Interrupted;
        outcome.reason = "interrupted (" + end.crash + ")";
        outcome.signal = end.signal;
        break;
    case platform::ChildEnd::Kind::TimedOut: {
        outcome.kind = ChildOutcome::Kind::TimedOut;
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", timeLimitSeconds);
        outcome.reason = "timed out after ";
        outcome.reason += seconds;
        outcome.reason += " s";
        break;
    }
    case platform::ChildEnd::Kind::Crashed:
        outcome.kind = ChildOutcome::Kind::Crashed;
        outcome.reason = "crashed (" + end.crash + ")";
        break;
    case platform::ChildEnd::Kind::Exited:
        if (report.finished && end.status == 0) {
            outcome.kind = report.failure ? ChildOutcome::Kind::Failed : ChildOutcome::Kind::Passed;
            outcome.reason = report.failure.value_or("");
        } else {
            outcome.kind = ChildOutcome::Kind::Vanished;
            outcome.status = end.status;
            outcome.reason = "exited with status " + std::to_string(end.status) + " before the check finished";
        }
        break;
    }
    return outcome;
}

void runChildTask(std::span<const ChildTask* const> tasks)
{
    platform::runIfChild([tasks](int fd, const std::vector<std::string>& words) {
        for (const ChildTask* task : tasks) {
            if (!words.empty() && task->name == words.front()) {
                runTask(*task, fd, words);
                return;
            }
        }
        ChildChannel channel(fd);
        finishChild(channel, "the validator has no task \"" + (words.empty() ? std::string() : words.front()) + '"');
    });
}

} // namespace arena::validate
