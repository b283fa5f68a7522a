// A correct record, but deleteMe is not exported: the host reaches it through the record, a
// validator that looks the three names up does not find it.

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

// Hidden, like everything not marked for export in a library built with hidden visibility.
void deleteMe()
{
    holder.reset();
}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {
    BAKKESMOD_PLUGIN_API_VERSION, __FILE__, "MissingDelete", "MissingDelete", "1.0", 0, &getPlugin, &deleteMe,
};

} // extern "C"
