#pragma once
// The three entry symbols of an ordinary plug-in library whose one object is a `Class`, with the
// record's host API version given, so that each broken library differs only where it means to.

#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"

#define BROKEN_PLUGIN_MODULE(Class, version)                                                                           \
    namespace {                                                                                                        \
    std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin> holder; /* empty at load, like any plug-in's */                \
    }                                                                                                                  \
    extern "C" {                                                                                                       \
    BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<BakkesMod::Plugin::BakkesModPlugin>* getPlugin()                           \
    {                                                                                                                  \
        if (!holder) {                                                                                                 \
            holder = std::make_shared<Class>();                                                                        \
        }                                                                                                              \
        return &holder;                                                                                                \
    }                                                                                                                  \
    BAKKESMOD_PLUGIN_EXPORT void deleteMe()                                                                            \
    {                                                                                                                  \
        holder.reset();                                                                                                \
    }                                                                                                                  \
    BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {version, __FILE__, #Class,     #Class,      \
                                                                           "1.0",   0,        &getPlugin, &deleteMe};  \
    }                                                                                                                  \
    static_assert(true)
