// A proper plug-in built against an older host: its record says host API version 94.

#include "plugin_module.h"

namespace {

class WrongVersion : public BakkesMod::Plugin::BakkesModPlugin {};

} // namespace

BROKEN_PLUGIN_MODULE(WrongVersion, 94);
