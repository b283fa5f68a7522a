#pragma once
// The game and console wrappers carry the id of the plug-in they were made for, so that what it
// registers can be removed when it is unloaded; they hold nothing once it is.

#include "bakkesmod/wrappers/objectwrapper.h"
#include "runtime/host.h"
#include "runtime/src/call.h"

namespace runtime {

inline bool ownerLoaded(const ObjectWrapper& wrapper)
{
    return wrapper.host() && hostOf(wrapper)->findPlugin(wrapper.object()) != nullptr;
}

} // namespace runtime
