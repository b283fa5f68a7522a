// The base class's members live in every plug-in library and are exported from it.

#include "bakkesmod/plugin/bakkesmodplugin.h"

namespace BakkesMod::Plugin {

BakkesModPlugin::BakkesModPlugin() = default;
BakkesModPlugin::BakkesModPlugin(const BakkesModPlugin& other) = default;
BakkesModPlugin::BakkesModPlugin(BakkesModPlugin&& other) noexcept = default;
BakkesModPlugin& BakkesModPlugin::operator=(const BakkesModPlugin& other) = default;
BakkesModPlugin& BakkesModPlugin::operator=(BakkesModPlugin&& other) noexcept = default;
// Members die in reverse order of declaration: gameWrapperHandle first, then cvarManagerHandle.
BakkesModPlugin::~BakkesModPlugin() = default;

void BakkesModPlugin::onLoad() {}
void BakkesModPlugin::onUnload() {}

} // namespace BakkesMod::Plugin
