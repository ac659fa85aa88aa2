#include "RobustnessSupport.h"

#include "Frameworks/PresetManager/PresetPlatform.h"
#include "editor/myEditor.h"
#include "source/OndrelPlugin.h"
#include "source/PluginEntry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>

// Fontconfig keeps its parsed configuration for the whole process without a
// pointer to it. The toolkit's tests find that one place with full stacks;
// here the quick stacks (thousands of instances and presets) end in the
// library, so its allocations are not reported.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace robustness {

std::unique_ptr<PluginHost> newInstance()
{
    Platform::setDataFolderOverride(ONDREL_BUNDLE_DIR);
    auto host = std::make_unique<PluginHost>();
    std::string error;
    if (!host->create(ondrelEntry, error)) {
        ADD_FAILURE() << error;
        return nullptr;
    }
    static_cast<OndrelPlugin*>(static_cast<AudioEffect*>(host->effect()->object))
        ->getMyEditor()
        ->setWindowKind(PlatformType::kHeadless);
    return host;
}

long residentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace robustness
