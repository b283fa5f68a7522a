// A plug-in that does nothing but log, so a test can see which of its entries the host ran.

#include <memory>
#include <string>
#include <vector>

#include "bakkesmod/plugin/bakkesmodplugin.h"

using BakkesMod::Plugin::BakkesModPlugin;

namespace {

class Probe : public BakkesModPlugin {
public:
    void onLoad() override
    {
        cvarManagerHandle->log("probe: onLoad");
        gameWrapperHandle->HookEvent("Function TAGame.Car_TA.EventHitBall",
                                     [this](const std::string&) { cvarManagerHandle->log("probe: hit"); });
        gameWrapperHandle->RegisterDrawable([this](const CanvasWrapper&) { cvarManagerHandle->log("probe: frame"); });
        cvarManagerHandle->registerNotifier(
            "probe_command", [this](const std::vector<std::string>&) { cvarManagerHandle->log("probe: command"); },
            "Logs a line.", 0);
    }

    void onUnload() override { cvarManagerHandle->log("probe: onUnload"); }
};

std::shared_ptr<BakkesModPlugin> holder; // empty at load

} // namespace

extern "C" {

BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<BakkesModPlugin>* getPlugin()
{
    if (!holder) {
        holder = std::make_shared<Probe>();
    }
    return &holder;
}

BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    holder.reset();
}

BAKKESMOD_PLUGIN_EXPORT BakkesMod::Plugin::PluginDescriptor exports = {
    BAKKESMOD_PLUGIN_API_VERSION, __FILE__, "Probe", "Probe", "1.0", 0, &getPlugin, &deleteMe,
};

} // extern "C"
