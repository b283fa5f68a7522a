// Leaks a hundred bytes in every onLoad: small, but every load of a long session adds to it.

#include "tests/broken/plugin_module.h"

struct Leaks : broken::Plugin {
    void onLoad() override
    {
        leaked = new char[100];
        leaked[0] = 1;
    }

    char* leaked = nullptr; // never deleted
};

BROKEN_PLUGIN_MODULE(Leaks, BAKKESMOD_PLUGIN_API_VERSION);
