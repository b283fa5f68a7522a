#pragma once
// Writes that finish: write(2) may take less than it was given, or be interrupted.

#include <string_view>

namespace arena {

// Writes all of `data` to `fd`, again after a short or interrupted write. False on an error.
bool writeAll(int fd, std::string_view data);

} // namespace arena
