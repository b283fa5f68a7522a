#pragma once
// How a refused load reads in every command's messages, the validator's included: the library as
// given, then why.

#include <string>

#include "runtime/host.h"

namespace arena {

// "PATH: REASON" for a refused `result`; empty for one that loaded.
std::string loadRefusal(const runtime::LoadResult& result);

} // namespace arena
