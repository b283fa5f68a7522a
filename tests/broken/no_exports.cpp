// Entry functions, but no "exports" record for the host to find them by.

#include "tests/broken/plugin_module.h"

BROKEN_ENTRY_FUNCTIONS(broken::Plugin)
