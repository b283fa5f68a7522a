#pragma once
// The validator's checks. Each runs its plug-in code in a child process of its own (see
// child_process.h); the calling process never loads the plug-in.

#include <cstdint>
#include <string>

#include "arena/validate/child_process.h"
#include "arena/validate/validate.h"

namespace arena::validate {

struct CheckResult {
    std::string name; // "library", "lifecycle", "registration", "hostile"
    bool pass = false;
    std::string reason;  // why it failed; empty when it passed
    int interrupted = 0; // the signal that cut the check short; 0 when none
};

// The check's result from its child's outcome. A crash or a timeout names the child's last note
// ("while ...") when it sent one.
CheckResult resultOf(const char* name, const ChildOutcome& outcome);

// The library opens; "exports", "getPlugin" and "deleteMe" are there; the record has the host's
// API version, non-empty texts, and the two exported functions as its functions. Creates nothing.
CheckResult checkLibrary(const std::string& path, double timeLimitSeconds);

// getPlugin and deleteMe in every order a host may call them; a reload behaves like the first
// load; `cycles` load, onLoad, unload cycles leave no wrapper, registration or memory behind.
CheckResult checkLifecycle(const std::string& path, int cycles, double timeLimitSeconds);

// No name registered twice; nothing of the plug-in runs after its unload; the locale is left
// as it was found.
CheckResult checkRegistration(const std::string& path, double timeLimitSeconds);

// `rounds` hostile rounds with seeds drawn from `seed`, in batches of child processes. A failing
// round is reported with the seed that replays it.
CheckResult checkHostileRounds(const std::string& path, uint32_t rounds, uint64_t seed, const PluginWords& words,
                               double timeLimitSeconds);

// Replays the one round of `seed` (a round's own seed), telling each step on stderr.
CheckResult replayHostileRound(const std::string& path, uint64_t seed, const PluginWords& words,
                               double timeLimitSeconds);

// What the checks run in their children, by name.
extern const ChildTask kLibraryTask;
extern const ChildTask kLifecycleTask;
extern const ChildTask kRegistrationTask;
extern const ChildTask kHostileBatchTask;
extern const ChildTask kHostileReplayTask;

} // namespace arena::validate
