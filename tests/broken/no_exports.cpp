// Entry functions, but no "exports" record for the host to find them by.

#include <memory>

#include "bakkesmod/plugin/bakkesmodplugin.h"

using BakkesMod::Plugin::BakkesModPlugin;

namespace {

std::shared_ptr<BakkesModPlugin> holder; // empty at load

} // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<BakkesModPlugin>* getPlugin()
{
    if (!holder) {
        holder = std::make_shared<BakkesModPlugin>();
    }
    return &holder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    holder.reset();
}

} // extern "C"
