// Registers its one command twice under the same name.

#include <string>
#include <vector>

#include "tests/broken/plugin_module.h"

struct RegistersTwice : broken::Plugin {
    void onLoad() override
    {
        for (int i = 0; i < 2; ++i) {
            cvarManagerHandle->registerNotifier(
                "twice_go", [](const std::vector<std::string>&) {}, "Goes.", 0);
        }
    }
};

BROKEN_PLUGIN_MODULE(RegistersTwice, BAKKESMOD_PLUGIN_API_VERSION);
