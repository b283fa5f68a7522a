#pragma once
// Runs the arena program as a child process, as a player would from a shell.

#include <string>
#include <vector>

namespace bench {

// Runs `program` with `args`, its output discarded, and waits for it. Empty when it exited with
// status 0; otherwise what went wrong.
std::string runQuietly(const std::string& program, const std::vector<std::string>& args);

} // namespace bench
