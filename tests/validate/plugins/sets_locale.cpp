// Switches the whole process to the "C" locale when it loads, as a careless plug-in that wants a
// decimal point would.

#include <clocale>

#include "tests/broken/plugin_module.h"

struct SetsLocale : broken::Plugin {
    void onLoad() override { std::setlocale(LC_ALL, "C"); }
};

BROKEN_PLUGIN_MODULE(SetsLocale, BAKKESMOD_PLUGIN_API_VERSION);
