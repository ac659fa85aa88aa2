// Envelope timing, repeat modes and velocity, measured on the envelope's own
// output and on the engine's output.
#include <gtest/gtest.h>

#include <vector>

#include "source/engine/ModuleADSR.h"
#include "tests/engine/EngineRig.h"

using namespace enginetest;

namespace {
const float kFs = 44100.0f;

ModuleADSR makeEnvelope(float attack, float decay, float sustain, float release)
{
    ModuleADSR e;
    e.reset(0.5f, 0.5f, kFs);
    e.setAttack(attack);
    e.setDecay(decay);
    e.setSustain(sustain);
    e.setRelease(release);
    e.setVelocitySensitivity(0.001f);  // practically full gain
    return e;
}

// Per-window peak of |x| (an amplitude envelope with `win`-frame resolution).
std::vector<double> envelopeOf(const std::vector<float>& x, size_t win)
{
    std::vector<double> env;
    for (size_t i = 0; i + win <= x.size(); i += win) env.push_back(peak(x, i, i + win));
    return env;
}
}  // namespace

// Phase times follow the settings; a zero release ends in one frame, and a
// zero sustain falls idle while the key is held.
TEST(EngineEnvelope, PhaseTimesFollowTheSettingsAndZeroEndsAtOnce)
{
    const float attacks[] = {0.001f, 0.05f, 0.501f, 2.001f};
    for (float a : attacks) {
        ModuleADSR e = makeEnvelope(a, 0.3f, 0.5f, 0.4f);
        e.trigger(127);
        int n = 0;
        while (e.stage == ModuleADSR::kAttack && n < 1000000) {
            e.tick();
            ++n;
        }
        EXPECT_NEAR(n / kFs, a, a * 0.02 + 1.0 / kFs) << "attack " << a;
    }
    // Decay and release: the distance to the target shrinks elevenfold in the set time.
    const float times[] = {0.01f, 0.1f, 0.5f, 2.0f};
    for (float t : times) {
        const float sustain = 0.4f;
        ModuleADSR e = makeEnvelope(0.001f, t, sustain, t);
        e.trigger(127);
        while (e.stage == ModuleADSR::kAttack) e.tick();
        int n = 0;
        const float mark = (sustain - 0.0001f) + (1.0f - sustain + 0.0001f) / 11.0f;
        while (e.tick() > mark) ++n;
        EXPECT_NEAR(n / kFs, t, t * 0.02 + 1.0 / kFs) << "decay " << t;
        while (e.stage != ModuleADSR::kSustain) e.tick();
        e.noteOff();
        n = 0;
        const float releaseMark = (sustain + 0.0001f) / 11.0f - 0.0001f;
        while (e.tick() > releaseMark) ++n;
        EXPECT_NEAR(n / kFs, t, t * 0.02 + 1.0 / kFs) << "release " << t;
        int rest = 0;
        while (!e.idle() && rest < 10 * (int)(t * kFs) + 10) {
            e.tick();
            ++rest;
        }
        EXPECT_TRUE(e.idle()) << "release " << t << " ends";
    }

    ModuleADSR zero = makeEnvelope(0.001f, 0.05f, 0.5f, 0.0f);
    zero.trigger(127);
    for (int i = 0; i < 10000; ++i) zero.tick();
    zero.noteOff();
    EXPECT_EQ(zero.tick(), 0.0f);
    EXPECT_TRUE(zero.idle());

    ModuleADSR held = makeEnvelope(0.001f, 0.05f, 0.0f, 0.5f);
    held.trigger(127);
    int n = 0;
    while (!held.idle() && n < 100000) {
        held.tick();
        ++n;
    }
    EXPECT_TRUE(held.idle());  // the key is still held
    EXPECT_LT(n, 0.05f * kFs * 5);
}

TEST(EngineEnvelope, RepeatRunsTheCycleTheSetNumberOfTimes)
{
    auto peaks = [](bool loop, int count, int frames) {
        ModuleADSR e = makeEnvelope(0.01f, 0.05f, 0.5f, 0.1f);
        e.setRepeat(loop, count);
        e.trigger(127);
        int crossings = 0;
        float last = 0.0f;
        float tail = 0.0f;
        for (int i = 0; i < frames; ++i) {
            float v = e.tick();
            if (v >= 0.99f && last < 0.99f) ++crossings;
            last = v;
            tail = v;
        }
        return std::make_pair(crossings, tail);
    };
    EXPECT_EQ(peaks(false, 0, 44100).first, 1);
    EXPECT_EQ(peaks(true, 0, 44100).first, 1);
    EXPECT_EQ(peaks(true, 1, 44100).first, 2);
    auto two = peaks(true, 2, 44100);
    EXPECT_EQ(two.first, 3);
    EXPECT_NEAR(two.second, 0.5f, 1e-6f);  // then holds the sustain
    // Endless: one cycle about every 0.01 s + the decay to the sustain.
    EXPECT_GT(peaks(true, 3, 44100 * 2).first, 10);

    // Through the parameter: Repeat 0.5 means two repeats.
    Rig rig;
    rig.cleanPatch();
    rig.set({{kAttack1, 0.05f}, {kDecay1, 0.1f}, {kSustain1, 0.5f}, {kRepeat, 0.5f}});
    rig.render(4096);  // the output gain has glided up
    rig.noteOn(69, 127);
    Audio a = rig.render(44100);
    std::vector<double> env = envelopeOf(a.left, 256);
    double top = 0;
    for (double v : env) top = std::fmax(top, v);
    int rises = 0;
    bool high = false;
    for (double v : env) {
        if (!high && v > 0.9 * top) {
            ++rises;
            high = true;
        } else if (high && v < 0.7 * top) {
            high = false;
        }
    }
    EXPECT_EQ(rises, 3);
}

TEST(EngineEnvelope, VelocityScalesThroughASquaredCurve)
{
    auto level = [](float sens, int velocity) {
        Rig rig;
        rig.cleanPatch();
        rig.set(kVelosens, sens);
        rig.noteOn(69, velocity);
        Audio a = rig.render(22050);
        return rms(a.left, 11025);
    };
    const double full = level(1.0f, 127);
    ASSERT_GT(full, 0.05);
    for (int v : {1, 32, 64, 100}) {
        double g = 0.999 * (v / 127.0) * (v / 127.0) + 0.001;
        EXPECT_NEAR(level(1.0f, v) / full, g, 0.02 * g + 1e-4) << "velocity " << v;
    }
    // No sensitivity: practically the same level for every velocity.
    EXPECT_NEAR(level(0.0f, 10) / level(0.0f, 127), 1.0, 0.002);
}

TEST(EngineEnvelope, EngineAttackAndReleaseTimesMatchTheParameters)
{
    Rig rig;
    rig.cleanPatch();
    rig.set({{kAttack1, 0.5f}, {kRelease1, 0.5f}, {kSustain1, 1.0f}});  // 0.501 s and 0.5 s
    rig.noteOn(69, 127);
    Audio a = rig.render(44100);
    rig.noteOff(69);
    rig.render(a, 44100);
    const size_t win = 101;  // about one period of 440 Hz
    std::vector<double> env = envelopeOf(a.left, win);
    double sustainLevel = env[300];
    // Linear attack: half level at half the attack time.
    size_t half = 0;
    while (env[half] < 0.5 * sustainLevel) ++half;
    double attack = 2.0 * (half * win) / kFs;
    EXPECT_NEAR(attack, 0.501, 0.501 * 0.02 + 2.0 * win / kFs);
    // Release: an elevenfold fall in the release time from note-off.
    size_t off = 44100 / win;
    size_t k = off;
    while (env[k] > sustainLevel / 11.0) ++k;
    double release = (double)(k - off) * win / kFs;
    EXPECT_NEAR(release, 0.5, 0.5 * 0.02 + 2.0 * win / kFs);
}
