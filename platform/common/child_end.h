#pragma once
// How a child process ended, told the same way on every system once each has read its own signs.

#include <string>

#include "platform/timed_child.h"

namespace platform {

// A stop signal the parent heard (0 for none) comes first, then the time limit, then what crashed
// the child (empty when nothing did); otherwise it exited with `status`.
ChildEnd childEndOf(int interrupted, bool timedOut, std::string crash, int status);

} // namespace platform
