// Loading a plug-in module by path and finding its entry point: dlopen on
// Linux, LoadLibrary on Windows.
#pragma once

#include <string>

class ModuleLoader {
public:
    ModuleLoader() = default;
    ~ModuleLoader();
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Loads the module; false with a message in `error` when it cannot be loaded.
    bool load(const std::string& path, std::string& error);
    // The address of an exported symbol, or null.
    void* symbol(const char* name) const;
    void unload();
    bool isLoaded() const { return handle != nullptr; }

private:
    void* handle = nullptr;
};
