#pragma once
// `arena console`: console lines typed at a prompt, with Tab completion and a kept history.

#include "arena/console/session_run.h"

namespace arena {

// Reads lines until Ctrl-D, "exit" or "quit"; Ctrl-C stops the command under way. Returns the
// exit status: the shell's for a stop signal (SIGTERM, SIGHUP) that ended it.
int runConsole(const SessionOptions& options, const SessionGround& ground);

} // namespace arena
