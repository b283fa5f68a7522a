#pragma once
// Where the test build put the deliberately broken plug-in libraries: libbroken_<name>.so (.dll).

#include <string>

#ifndef BROKEN_PLUGIN_DIR
#error "link the broken_plugins target for BROKEN_PLUGIN_DIR"
#endif

inline std::string brokenPlugin(const std::string& name)
{
    return BROKEN_PLUGIN_DIR "/libbroken_" + name + PLUGIN_SUFFIX;
}
