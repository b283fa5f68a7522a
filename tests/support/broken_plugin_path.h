#pragma once
// Where the test build put the deliberately broken plug-in libraries.

#include <string>

#ifndef BROKEN_PLUGIN_DIR
#error "link the broken_plugins target for BROKEN_PLUGIN_DIR"
#endif

// The path of libbroken_<name>.so.
inline std::string brokenPlugin(const std::string& name)
{
    std::string path = BROKEN_PLUGIN_DIR;
    path += "/libbroken_";
    path += name;
    path += ".so";
    return path;
}
