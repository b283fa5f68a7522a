#include "validate.h"

#include <cstdio>

int validateMain(int, char**)
{
    std::fprintf(stderr, "arena validate: not built yet\n");
    return 2;
}
