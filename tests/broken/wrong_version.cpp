// A proper plug-in built against an older host: its record says host API version 94.

#include "tests/broken/plugin_module.h"

BROKEN_PLUGIN_MODULE(broken::Plugin, 94);
