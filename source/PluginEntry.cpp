#include "PluginEntry.h"

#include "OndrelPlugin.h"

AEffect* ondrelEntry(audioMasterCallback audioMaster)
{
    if (!audioMaster) return nullptr;
    try {
        if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
        return createOndrelInstance(audioMaster);
    } catch (...) {
        return nullptr;
    }
}
