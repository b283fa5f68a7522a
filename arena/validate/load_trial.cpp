#include "arena/validate/load_trial.h"

#include <cstdio>
#include <cstdlib>

#include "platform/timed_child.h"
#include "runtime/host.h"

namespace arena::validate {

namespace {

// The child's notes: how far it came.
constexpr std::string_view kLoaded = "loaded";
constexpr std::string_view kUnloaded = "unloaded";

// A session's load and end: a damaged relocation, name or piece of code may first be reached by
// the plug-in's onLoad, its onUnload, the library's finalizers or what it left for the process's
// exit, so the child ends through the exit handlers as the arena does.
std::optional<std::string> trialTask(ChildChannel& channel, const std::vector<std::string>& words)
{
    platform::silenceOutput();
    {
        runtime::Host host;
        if (const runtime::LoadResult loaded = host.load(words.at(0))) {
            channel.note(kLoaded);
            host.unload(loaded.plugin);
        }
    }
    channel.note(kUnloaded);
    std::exit(0);
}

} // namespace

const ChildTask kLoadTrialTask{"load-trial", trialTask};

std::string trialLoad(const std::string& file)
{
    const ChildOutcome outcome = runInChild(kLoadTrialSeconds, kLoadTrialTask, {file});
    const bool loading = outcome.lastNote.empty();
    const std::string during = loading ? "loaded" : "unloaded";
    switch (outcome.kind) {
    case ChildOutcome::Kind::Passed:
    case ChildOutcome::Kind::Failed: return {};
    case ChildOutcome::Kind::Crashed: {
        // "crashed (SIGSEGV)": what ended it follows the word, in brackets.
        const size_t name = outcome.reason.find('(');
        return "the library crashed while being " + during + " " +
               (name == std::string::npos ? "(" + outcome.reason + ")" : outcome.reason.substr(name));
    }
    case ChildOutcome::Kind::TimedOut: {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", kLoadTrialSeconds);
        return std::string("the library did not finish ") + (loading ? "loading" : "unloading") + " within " + seconds +
               " s";
    }
    case ChildOutcome::Kind::Vanished:
        if (outcome.status == 0 && outcome.lastNote == kUnloaded) {
            return {};
        }
        return "the library ended the process while being " + during + " (exit status " +
               std::to_string(outcome.status) + ")";
    case ChildOutcome::Kind::Interrupted: return outcome.reason;
    case ChildOutcome::Kind::NotStarted: break;
    }
    return "the library could not be tried in a child process first: " + outcome.reason;
}

} // namespace arena::validate
