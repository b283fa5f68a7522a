#pragma once
// The plug-in library opened straight with dlopen, without the host: for the entry functions and
// the record on their own. Closed again, after a last deleteMe, when the object goes.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"

class OpenedLibrary {
public:
    OpenedLibrary() : handle_(dlopen(VOLANKO_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle_) {
            getPlugin = reinterpret_cast<BakkesMod::Plugin::CreateFunction>(dlsym(handle_, "getPlugin"));
            deleteMe = reinterpret_cast<BakkesMod::Plugin::DestroyFunction>(dlsym(handle_, "deleteMe"));
            record = static_cast<const BakkesMod::Plugin::PluginDescriptor*>(dlsym(handle_, "exports"));
        }
    }
    OpenedLibrary(const OpenedLibrary&) = delete;
    OpenedLibrary& operator=(const OpenedLibrary&) = delete;
    ~OpenedLibrary()
    {
        if (handle_) {
            if (deleteMe) {
                deleteMe();
            }
            dlclose(handle_);
        }
    }

    // True when the library and all three entry symbols were found.
    bool ready() const { return handle_ && getPlugin && deleteMe && record; }
    void* handle() const { return handle_; }

    BakkesMod::Plugin::CreateFunction getPlugin = nullptr;       // the library's getPlugin
    BakkesMod::Plugin::DestroyFunction deleteMe = nullptr;       // the library's deleteMe
    const BakkesMod::Plugin::PluginDescriptor* record = nullptr; // the library's exports

private:
    void* handle_; // owned; closed by the destructor
};
