// getPlugin makes a new object on every call instead of returning the one it holds.

#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"

using BakkesMod::Plugin::BakkesModPlugin;

namespace {

std::shared_ptr<BakkesModPlugin> holder; // replaced on every getPlugin

} // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<BakkesModPlugin>* getPlugin()
{
    holder = std::make_shared<BakkesModPlugin>();
    return &holder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    holder.reset();
}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {
    BAKKESMOD_PLUGIN_API_VERSION, __FILE__, "NewObjectEachCall", "NewObjectEachCall", "1.0", 0, &getPlugin, &deleteMe,
};

} // extern "C"
