// A record of the right version whose createFunction is null, and no getPlugin to put there.

#include "tests/broken/plugin_module.h"

extern "C" BAKKESMOD_PLUGIN_EXPORT void deleteMe() {}

BROKEN_RECORD(NullFunctions, BAKKESMOD_PLUGIN_API_VERSION, nullptr, &deleteMe);
