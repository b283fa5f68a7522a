#pragma once
// The arena's first load of a plug-in library, in a child process as the validator's checks run:
// a library file that crashes the system's loader, or the library's own code as it loads and
// unloads, ends that child and never the arena.

#include <string>

#include "arena/validate/child_process.h"

namespace arena::validate {

// How long the trial may take: loading and unloading a library takes milliseconds.
inline constexpr double kLoadTrialSeconds = 10;

// Loads the library at `file` in a child process as the host loads it (the plug-in created and
// its onLoad run), then unloads it, with the child's output silenced: it belongs to the real load.
// Empty when the child came through, whether the library loaded there or was refused (a load here
// then finds the same); otherwise why it is refused: "the library crashed while being loaded
// (SIGSEGV)", "the library did not finish loading within 10 s", "the library ended the process
// while being loaded (exit status 127)", "interrupted (SIGINT)", or why no child started.
std::string trialLoad(const std::string& file);

// What the trial runs in its child, by name.
extern const ChildTask kLoadTrialTask;

} // namespace arena::validate
