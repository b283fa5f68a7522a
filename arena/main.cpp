// Placeholder until the arena lands: loads the plug-in and reports.
#include <cstdio>

#include "host.h"

int main(int argc, char** argv)
{
    host::Host host;
    if (argc < 2) {
        std::fprintf(stderr, "usage: arena PLUGIN\n");
        return 2;
    }
    const host::LoadResult loaded = host.load(argv[1]);
    if (!loaded) {
        std::fprintf(stderr, "%s\n", loaded.error.c_str());
        return 1;
    }
    return 0;
}
