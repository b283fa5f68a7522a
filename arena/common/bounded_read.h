#pragma once
// A file read whole, when it is a regular file of a bounded size: what the arena reads that a user
// names (a recording, a page) could be a device, a pipe or far too large.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace arena {

// The bytes of `path` when it is a regular file of at most `limit` bytes (`what` may hold that
// much, in messages); else nothing, with `why` set, and `refused` when it was refused for its
// kind or its size rather than for a reason of the system's.
std::optional<std::string> readBounded(const std::string& path, size_t limit, std::string_view what, std::string& why,
                                       bool& refused);

} // namespace arena
