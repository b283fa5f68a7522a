// The library's boundary: the record the host reads, and the one plug-in object behind it.

#include <memory>

#include "Volanko/Volanko.h"

using BakkesMod::Plugin::BakkesModPlugin;

namespace {

// Empty at load; released like deleteMe releases it when the library is unloaded.
std::shared_ptr<BakkesModPlugin> holder;

} // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<BakkesModPlugin>* getPlugin()
{
    if (!holder) {
        holder = std::make_shared<Volanko>();
    }
    return &holder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    holder.reset();
}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {
    BAKKESMOD_PLUGIN_API_VERSION, VOLANKO_SOURCE_FILE, "Volanko", "Volanko", "1.0", 0, &getPlugin, &deleteMe,
};

} // extern "C"
