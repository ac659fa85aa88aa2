#include "ModuleLoader.h"

#include <windows.h>

ModuleLoader::~ModuleLoader() { unload(); }

bool ModuleLoader::load(const std::string& path, std::string& error)
{
    unload();
    handle = (void*)LoadLibraryA(path.c_str());
    if (!handle) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void* ModuleLoader::symbol(const char* name) const
{
    return handle ? (void*)GetProcAddress((HMODULE)handle, name) : nullptr;
}

void ModuleLoader::unload()
{
    if (handle) FreeLibrary((HMODULE)handle);
    handle = nullptr;
}
