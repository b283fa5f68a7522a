#pragma once
// What must hold in the host after any plug-in code ran: nothing the game would not survive.

#include <optional>
#include <string>

#include "runtime/host.h"

namespace arena::validate {

// The first broken invariant as a sentence, or nothing: no exception escaped a callback, no
// non-finite number was handed over, no call went into an empty wrapper, no callback kept a
// wrapper, and every number in the world is finite.
std::optional<std::string> brokenInvariant(const runtime::Host& host);

} // namespace arena::validate
