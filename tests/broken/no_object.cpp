// getPlugin hands over an empty holder: the host must refuse the library, and still call deleteMe
// so that whatever getPlugin set up is torn down. deleteMe leaves a line in the file named by
// BROKEN_MARK_FILE, where the test looks for it.

#include <cstdio>
#include <cstdlib>

#include "tests/broken/plugin_module.h"

extern "C" {
BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<broken::Plugin>* getPlugin()
{
    return &broken::holder;
}
BAKKESMOD_PLUGIN_EXPORT void deleteMe()
{
    if (const char* path = std::getenv("BROKEN_MARK_FILE")) {
        if (std::FILE* file = std::fopen(path, "a")) {
            std::fputs("deleteMe\n", file);
            std::fclose(file);
        }
    }
}
}

BROKEN_RECORD(NoObject, BAKKESMOD_PLUGIN_API_VERSION, &getPlugin, &deleteMe);
