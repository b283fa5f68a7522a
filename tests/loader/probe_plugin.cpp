// A plug-in that logs what the host makes it do, so a test can see which of its entries ran, and
// that uses what the host hands back to it.

#include <string>
#include <vector>

#include "tests/broken/plugin_module.h"

struct Probe : broken::Plugin {
    void onLoad() override
    {
        cvarManagerHandle->registerCvar("probe_first", "1", "", true, true, 0, true, 10);
        cvarManagerHandle->log("probe: onLoad, probe_second is " +
                               cvarManagerHandle->registerCvar("probe_second", "two").getStringValue());
        gameWrapperHandle->HookEvent("Function TAGame.Car_TA.EventHitBall",
                                     [this](const std::string&) { cvarManagerHandle->log("probe: hit"); });
        // Draws before setting anything, then leaves colour and position changed for the next frame.
        gameWrapperHandle->RegisterDrawable([this](CanvasWrapper canvas) {
            canvas.DrawString("probe");
            canvas.SetColor({1, 2, 3, 4});
            canvas.SetPosition({5, 6});
            cvarManagerHandle->log("probe: frame");
        });
        cvarManagerHandle->registerNotifier(
            "probe_command", [this](const std::vector<std::string>&) { cvarManagerHandle->log("probe: command"); },
            "Logs a line.", 0);
    }

    void onUnload() override { cvarManagerHandle->log("probe: onUnload"); }
};

extern "C" {
BAKKESMOD_PLUGIN_EXPORT int deleteCalls = 0; // read by a test that keeps the library open

BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<broken::Plugin>* getPlugin()
{
    return broken::hold<Probe>();
}
BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    ++deleteCalls;
    broken::holder.reset();
}
}

BROKEN_RECORD(Probe, BAKKESMOD_PLUGIN_API_VERSION, &getPlugin, &deleteMe);
