// A module whose VST entry point creates no instance.
extern "C" __attribute__((visibility("default"))) void* VSTPluginMain(void*) { return nullptr; }
