// libFuzzer entry of both preset fuzzers: PRESET_FUZZ_CHECK names the check,
// checkDocument (preset documents read from memory) or checkHostChunk (host
// chunks, YAML and packed, given to the preset library).
#include "Frameworks/PresetManager/PresetLog.h"
#include "fuzz/presets/PresetFuzzChecks.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool quiet = (PresetLog::setEcho(false), true);
    (void)quiet;
    const std::string fault = PresetFuzz::PRESET_FUZZ_CHECK(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "%s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
