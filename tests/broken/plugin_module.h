#pragma once
// The module boundary of the broken test plug-ins, in parts: the one object's holder, the two entry
// functions and the record, so that each library writes by hand only the part that is its fault.

#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace broken {

using Plugin = BakkesMod::Plugin::BakkesModPlugin;

inline std::shared_ptr<Plugin> holder; // empty at load, like any plug-in's

template <class Class> std::shared_ptr<Plugin>* hold()
{
    if (!holder) {
        holder = std::make_shared<Class>();
    }
    return &holder;
}

} // namespace broken

// getPlugin and deleteMe, exported, for a library whose one object is a `Class`.
#define BROKEN_ENTRY_FUNCTIONS(Class)                                                                                  \
    extern "C" BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<broken::Plugin>* getPlugin()                                    \
    {                                                                                                                  \
        return broken::hold<Class>();                                                                                  \
    }                                                                                                                  \
    extern "C" BAKKESMOD_PLUGIN_EXPORT void deleteMe()                                                                 \
    {                                                                                                                  \
        broken::holder.reset();                                                                                        \
    }

// The record `exports`, naming the class, with the host API version and the two functions given.
#define BROKEN_RECORD(Class, version, create, destroy)                                                                 \
    extern "C" {                                                                                                       \
    BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports{version, __FILE__, #Class, #Class,             \
                                                                        "1.0",   0,        create, destroy};           \
    }                                                                                                                  \
    static_assert(true)

// An ordinary module around a `Class`, with the record's host API version given.
#define BROKEN_PLUGIN_MODULE(Class, version)                                                                           \
    BROKEN_ENTRY_FUNCTIONS(Class)                                                                                      \
    BROKEN_RECORD(Class, version, &getPlugin, &deleteMe)
