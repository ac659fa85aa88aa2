// No heap allocation while audio runs: global operator new is counted while a
// window is open, across notes, controller 123, pitch bend, parameter sweeps
// and voice-count changes.
#include <gtest/gtest.h>

#include <vector>

#include "source/ParameterTable.h"
#include "source/engine/SynthEngine.h"
#include "tests/support/AllocationCounter.h"

using testing_support::AllocationWindow;


TEST(EngineAllocation, NoneWhileRendering)
{
    std::unique_ptr<SynthEngine> engine(new SynthEngine);
    engine->setup(48000.0f);
    for (int i = 0; i < kNumParameters; ++i) engine->setParameter(i, 0.5f);

    // Everything the loop needs, made before counting.
    const int block = 256;
    std::vector<float> l(block), r(block);
    AllocationWindow window;
    for (int b = 0; b < 400; ++b) {
        int n = 0;
        auto add = [&](int status, int d1, int d2) {
            MidiEvent e;
            e.frame = (n * 7) % block;
            e.status = (unsigned char)status;
            e.data1 = (unsigned char)d1;
            e.data2 = (unsigned char)d2;
            engine->addEvent(e);
            ++n;
        };
        for (int k = 0; k < 10; ++k) add(b % 3 ? 0x90 : 0x80, (b * 5 + k * 7) % 128, 1 + (b + k) % 127);
        add(0xE0, b % 128, (b * 3) % 128);
        if (b % 50 == 49) add(0xB0, 123, 0);
        // Parameter sweeps between blocks, as automation does.
        for (int p = 0; p < kNumParameters; ++p)
            engine->setParameter(p, (float)((b * 13 + p * 7) % 101) / 100.0f);
        engine->process(l.data(), r.data(), block, b % 2 == 0);
    }
    engine->suspend();
    engine->resume();
    engine->setSampleRate(96000.0f);
    engine->process(l.data(), r.data(), block, true);
    EXPECT_EQ(window.count(), 0);
}

TEST(EngineAllocation, TheCounterCounts)
{
    AllocationWindow window;
    std::unique_ptr<std::vector<int>> probe(new std::vector<int>(3));
    EXPECT_GE(window.count(), 1);
}
