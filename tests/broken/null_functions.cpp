// A record of the right version whose createFunction is null.

#include "bakkesmod/plugin/bakkesmodplugin.h"

extern "C" {

BAKKESMOD_PLUGIN_EXPORT void deleteMe() {}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {
    BAKKESMOD_PLUGIN_API_VERSION, __FILE__, "NullFunctions", "NullFunctions", "1.0", 0, nullptr, &deleteMe,
};

} // extern "C"
