// Writes through a null pointer as the system loads the library, before the host calls anything
// of it: what a library file damaged where the system's loader reads it does to its loader.

#include "tests/broken/plugin_module.h"

namespace {

struct CrashesLoading {
    CrashesLoading()
    {
        // Volatile twice: the compiler can neither prove the pointer null nor drop the store.
        volatile int* volatile target = nullptr;
        *target = 1;
    }
} crashing;

} // namespace

struct Harmless : broken::Plugin {};

BROKEN_PLUGIN_MODULE(Harmless, BAKKESMOD_PLUGIN_API_VERSION);
