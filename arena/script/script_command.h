#pragma once
// `arena script`: console lines from a file or standard input, against the loaded plug-in.

#include <string>

#include "arena/console/session_run.h"

namespace arena {

struct ScriptOptions {
    std::string file; // FILE, or "-" for standard input
};

// Runs every line, telling each refused one on standard error as FILE:LINE: message. Returns the
// exit status: 1 when a line was refused, 2 when the file cannot be read.
int runScript(const SessionOptions& options, const ScriptOptions& script, const SessionGround& ground);

} // namespace arena
