#include "arena/cli/version.h"

#include <cstdio>

#include "arena/common/concat.h"
#include "arena/common/escaped_text.h"
#include "arena/common/load_refusal.h"
#include "arena/console/library_copy.h"
#include "runtime/host.h"

namespace arena {

int printVersion(const SessionOptions& options, const SessionGround& ground)
{
    const std::string path = pluginPathOf(options, ground.drill);
    runtime::Host host{options.seed.value_or(0)};
    const runtime::LoadResult loaded = loadPrivateCopy(host, path, ground.trial);
    if (!loaded) {
        warnLine(concat("arena: ", loadRefusal(loaded)));
        return 1;
    }
    const auto& descriptor = host.findPlugin(loaded.plugin)->descriptor;
    std::printf("arena %s\n%s %s (%s)\n", ARENA_VERSION, descriptor.displayName ? descriptor.displayName : "?",
                descriptor.versionText ? descriptor.versionText : "?", path.c_str());
    return 0;
}

} // namespace arena
