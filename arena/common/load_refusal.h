#pragma once
// How a refused load reads in every command's messages, the validator's included: the library as
// given, then why.

#include <string>
#include <string_view>

#include "runtime/host.h"

namespace arena {

// "PATH: REASON" for a refused `result`; empty for one that loaded.
std::string loadRefusal(const runtime::LoadResult& result);
// How a check of the validator's says that its plug-in would not load: "the plug-in did not load:
// PATH: REASON".
std::string notLoaded(std::string_view refusal);

} // namespace arena
