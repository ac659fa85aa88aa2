// The library's entry point, exported as VSTPluginMain and, for older
// hosts, as main.
#include "PluginEntry.h"

#if defined(_WIN32)
#define ONDREL_EXPORT extern "C" __declspec(dllexport)
#else
#define ONDREL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ONDREL_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster) { return ondrelEntry(audioMaster); }

ONDREL_EXPORT AEffect* mainEntry(audioMasterCallback audioMaster) __asm__("main");
ONDREL_EXPORT AEffect* mainEntry(audioMasterCallback audioMaster) { return ondrelEntry(audioMaster); }
