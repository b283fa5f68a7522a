#pragma once
// Whether the process still has a library open, without opening it.

#include <dlfcn.h>

#include <string>

inline bool libraryIsOpen(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) {
        return false;
    }
    dlclose(handle);
    return true;
}
