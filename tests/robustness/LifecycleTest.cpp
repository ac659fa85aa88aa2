// A long session's instances: 500 made, played and deleted one after the
// other. Nothing leaks (LeakSanitizer checks at exit, valgrind in make soak)
// and the resident memory stays flat once the allocator has warmed up.
#include "RobustnessSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

using namespace robustness;

TEST(Lifecycle, FiveHundredInstancesMadePlayedAndDeleted)
{
    const char* count = std::getenv("ONDREL_LIFECYCLE_INSTANCES");
    const int instances = count && std::atoi(count) > 0 ? std::atoi(count) : 500;
    long firstLow = LONG_MAX, lastLow = LONG_MAX;
    std::vector<float> l, r;
    for (int i = 0; i < instances; ++i) {
        auto host = newInstance();
        ASSERT_TRUE(host);
        host->start(44100.0f, 512);
        host->queueMidi(0, 0x90, 40 + i % 40, 100);
        l.clear();
        r.clear();
        host->render(l, r, 1024, 512);
        ASSERT_TRUE(sane(l) && sane(r)) << i;
        const std::vector<uint8_t> chunk = host->getChunk();
        ASSERT_EQ(host->setChunk(chunk.data(), chunk.size()), 1) << i;
        if (i % 25 == 0) {  // the editor drawn and dropped by some of them
            host->dispatch(effEditOpen);
            host->dispatch(effEditIdle);
            host->dispatch(effEditClose);
        }
        EXPECT_EQ(host->close(), 1) << i;
        // The address checker's quarantine of freed blocks makes the resident
        // size swing by an instance's size: the lowest of 50 readings is compared.
        const long resident = residentBytes();
        if (i >= 50 && i < 100) firstLow = std::min(firstLow, resident);
        if (i >= instances - 50) lastLow = std::min(lastLow, resident);
    }
    // Under valgrind its own allocator holds freed blocks: make soak sets
    // ONDREL_LIFECYCLE_RESIDENT=0 there and leaves this check to the
    // sanitizer build.
    const char* resident = std::getenv("ONDREL_LIFECYCLE_RESIDENT");
    if (instances < 150 || (resident && *resident == '0')) return;
    const long growth = lastLow - firstLow;
    RecordProperty("residentGrowthBytes", std::to_string(growth));
    EXPECT_LT(growth, 4L << 20) << "resident memory grew by " << growth << " bytes after the first 50 instances";
}
