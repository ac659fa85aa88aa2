// libFuzzer entry: preset documents read from memory.
#include "Frameworks/PresetManager/PresetLog.h"
#include "fuzz/presets/PresetFuzzChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (PresetLog::setEcho(false), true);
    (void)quiet;
    const std::string fault = PresetFuzz::checkDocument(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
