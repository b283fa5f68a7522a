// Writes through a null pointer on a ball hit or when its command "broken_crash" runs.

#include <string>
#include <vector>

#include "tests/broken/plugin_module.h"

static void crash()
{
    // Volatile twice: the compiler can neither prove the pointer null nor drop the store.
    volatile int* volatile target = nullptr;
    *target = 1;
}

struct Crashes : broken::Plugin {
    void onLoad() override
    {
        gameWrapperHandle->HookEvent("Function TAGame.Car_TA.EventHitBall", [](const std::string&) { crash(); });
        cvarManagerHandle->registerNotifier(
            "broken_crash", [](const std::vector<std::string>&) { crash(); }, "Crashes the game.", 0);
    }
};

BROKEN_PLUGIN_MODULE(Crashes, BAKKESMOD_PLUGIN_API_VERSION);
