// A correct record, but deleteMe is not exported: the host reaches it through the record, a
// validator that looks the three names up does not find it.

#include "tests/broken/plugin_module.h"

extern "C" {
BAKKESMOD_PLUGIN_EXPORT std::shared_ptr<broken::Plugin>* getPlugin()
{
    return broken::hold<broken::Plugin>();
}
// Hidden, like everything not marked for export in a library built with hidden visibility.
void deleteMe()
{
    broken::holder.reset();
}
}

BROKEN_RECORD(MissingDelete, BAKKESMOD_PLUGIN_API_VERSION, &getPlugin, &deleteMe);
