// libFuzzer entry: host chunks (YAML and packed) given to the preset library.
#include "Frameworks/PresetManager/PresetLog.h"
#include "fuzz/presets/PresetFuzzChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (PresetLog::setEcho(false), true);
    (void)quiet;
    const std::string fault = PresetFuzz::checkHostChunk(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
