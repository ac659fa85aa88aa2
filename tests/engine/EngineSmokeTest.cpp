#include <gtest/gtest.h>

#include "tests/engine/EngineRig.h"

using namespace enginetest;

// Any parameter values in 0..1, including every extreme at once, at several
// rates: finite, bounded output.
TEST(EngineFrame, AnyParameterValuesGiveFiniteBoundedOutput)
{
    unsigned seed = 12345;
    auto next = [&]() { return (float)((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0f; };
    for (int trial = 0; trial < 8; ++trial) {
        const float fs = trial % 3 == 0 ? 44100.0f : (trial % 3 == 1 ? 96000.0f : 192000.0f);
        Rig rig(fs);
        for (int p = 0; p < kNumParameters; ++p) {
            float v = trial == 0 ? 0.0f : (trial == 1 ? 1.0f : next());
            rig.set(p, v);
        }
        for (int k = 0; k < 8; ++k) rig.noteOn(20 + 13 * k, 1 + 18 * k, k * 3);
        Audio a = rig.render((int)(fs / 2));
        EXPECT_TRUE(allFinite(a.left)) << "trial " << trial;
        EXPECT_TRUE(allFinite(a.right)) << "trial " << trial;
        EXPECT_LT(peak(a.left), 100.0) << "trial " << trial;
        char text[64], title[16];
        EXPECT_FALSE(rig.engine->takeFloatGuardReport(text, sizeof text, title, sizeof title));
    }
}

// Rates below the minimum, not a number or infinite run at the minimum; there
// is no upper bound.
TEST(EngineFrame, SampleRatesAreTakenAndOddOnesRaised)
{
    Rig rig;
    const std::pair<float, float> rates[] = {
        {96000.0f, 96000.0f}, {22050.0f, 44100.0f}, {std::nanf(""), 44100.0f}, {INFINITY, 44100.0f}, {1e9f, 1e9f}};
    for (const auto& [rate, taken] : rates) {
        rig.engine->setSampleRate(rate);
        EXPECT_EQ(rig.engine->sampleRate(), taken) << rate;
    }
    rig.noteOn(60);
    Audio a = rig.render(4096);
    EXPECT_TRUE(allFinite(a.left));
}
