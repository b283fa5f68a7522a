// getPlugin makes a new object on every call instead of returning the one it holds.

#include "tests/broken/plugin_module.h"

extern "C" {
BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<broken::Plugin>* getPlugin()
{
    broken::holder = std::make_shared<broken::Plugin>();
    return &broken::holder;
}
BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    broken::holder.reset();
}
}

BROKEN_RECORD(NewObjectEachCall, BAKKESMOD_PLUGIN_API_VERSION, &getPlugin, &deleteMe);
