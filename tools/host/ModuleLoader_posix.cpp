#include "ModuleLoader.h"

#include <dlfcn.h>

ModuleLoader::~ModuleLoader() { unload(); }

bool ModuleLoader::load(const std::string& path, std::string& error)
{
    unload();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : ("cannot load " + path);
        return false;
    }
    return true;
}

void* ModuleLoader::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }

void ModuleLoader::unload()
{
    if (handle) dlclose(handle);
    handle = nullptr;
}
