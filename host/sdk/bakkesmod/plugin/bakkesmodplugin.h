#pragma once
// What a plug-in library is to the host: one object derived from BakkesModPlugin, created and
// dropped through the two functions named in the exported PluginDescriptor `exports`.
//
// Load: the host opens the library, reads `exports`, calls createFunction, keeps a copy of the
// returned handle, fills both handles below and calls onLoad. Unload: onUnload, the host removes
// what the plug-in registered, drops its copy, calls destroyFunction and closes the library.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "bakkesmod/wrappers/wrappers.h"

#define BAKKESMOD_PLUGIN_API_VERSION 95

// Marks what a plug-in library makes visible to the host: the three entry symbols everywhere, and
// on Linux the base class's members too. Plug-ins build with hidden visibility; a Windows DLL exports
// only what is marked, so there the base class stays inside each plug-in.
#ifdef _WIN32
#define BAKKESMOD_PLUGIN_EXPORT __declspec(dllexport)
#define BAKKESMOD_PLUGIN_BASE_EXPORT
#else
#define BAKKESMOD_PLUGIN_EXPORT __attribute__((visibility("default")))
#define BAKKESMOD_PLUGIN_BASE_EXPORT BAKKESMOD_PLUGIN_EXPORT
#endif

namespace BakkesMod::Plugin {

class BakkesModPlugin {
public:
    BAKKESMOD_PLUGIN_BASE_EXPORT BakkesModPlugin();
    BAKKESMOD_PLUGIN_BASE_EXPORT BakkesModPlugin(const BakkesModPlugin& other);     // adds a reference to each handle
    BAKKESMOD_PLUGIN_BASE_EXPORT BakkesModPlugin(BakkesModPlugin&& other) noexcept; // leaves `other` empty
    BAKKESMOD_PLUGIN_BASE_EXPORT BakkesModPlugin& operator=(const BakkesModPlugin& other);
    BAKKESMOD_PLUGIN_BASE_EXPORT BakkesModPlugin& operator=(BakkesModPlugin&& other) noexcept;
    BAKKESMOD_PLUGIN_BASE_EXPORT virtual ~BakkesModPlugin(); // releases gameWrapperHandle, then cvarManagerHandle

    BAKKESMOD_PLUGIN_BASE_EXPORT virtual void onLoad();   // after the host filled both handles; does nothing here
    BAKKESMOD_PLUGIN_BASE_EXPORT virtual void onUnload(); // before the host removes registrations; does nothing here

    std::shared_ptr<CVarManagerWrapper> cvarManagerHandle; // empty until the host fills it
    std::shared_ptr<GameWrapper> gameWrapperHandle;        // empty until the host fills it
};

// The address of the library's one plug-in holder; the holder owns the object with one reference.
using CreateFunction = std::shared_ptr<BakkesModPlugin>* (*)();
// Empties the holder; the object dies with its last reference.
using DestroyFunction = void (*)();

// Read by the host by layout: 64-bit little-endian, natural alignment.
struct PluginDescriptor {
    int32_t hostApiVersion;          // BAKKESMOD_PLUGIN_API_VERSION
    const char* sourceFile;          // the build-time path of the plug-in's main source file
    const char* pluginClass;         // the plug-in class's name
    const char* displayName;         // the name shown to the player
    const char* versionText;         // the plug-in's own version, e.g. "1.0"
    uint32_t kindFlags;              // 0: an ordinary plug-in
    CreateFunction createFunction;   // the library's getPlugin
    DestroyFunction destroyFunction; // the library's deleteMe
};

static_assert(sizeof(void*) == 8, "the descriptor layout is that of a 64-bit host");
static_assert(offsetof(PluginDescriptor, hostApiVersion) == 0);
static_assert(offsetof(PluginDescriptor, sourceFile) == 8);
static_assert(offsetof(PluginDescriptor, pluginClass) == 16);
static_assert(offsetof(PluginDescriptor, displayName) == 24);
static_assert(offsetof(PluginDescriptor, versionText) == 32);
static_assert(offsetof(PluginDescriptor, kindFlags) == 40);
static_assert(offsetof(PluginDescriptor, createFunction) == 48);
static_assert(offsetof(PluginDescriptor, destroyFunction) == 56);
static_assert(sizeof(PluginDescriptor) == 64);

} // namespace BakkesMod::Plugin

// The names the host looks up in a plug-in library.
#define BAKKESMOD_EXPORTS_SYMBOL "exports"
#define BAKKESMOD_CREATE_SYMBOL "getPlugin"
#define BAKKESMOD_DESTROY_SYMBOL "deleteMe"
