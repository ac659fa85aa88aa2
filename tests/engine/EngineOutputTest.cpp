// The shared stereo chain: reverb tail, fade and decorrelation, gain and pan,
// the peak-meter hand-shake, the scope ring and the equalizer curve's updates.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "source/engine/ModuleReverb.h"
#include "tests/engine/EngineRig.h"

using namespace enginetest;

TEST(EngineReverb, TailDecaysAndItsChannelsAreDecorrelated)
{
    auto reverb = std::make_unique<ModuleReverb>();
    reverb->roomSize = 0.28f * 0.5f + 0.7f;
    reverb->damp = 1.5f * 0.4f;
    reverb->wet = 1.0f;
    reverb->dry = 0.0f;
    reverb->update();
    const int fs = 44100;
    std::vector<float> l(fs * 6), r(fs * 6);
    for (int n = 0; n < fs * 6; ++n) reverb->process(n == 0 ? 1.0f : 0.0f, 0.0f, l[n], r[n]);
    // Energy per 100 ms falls steadily once the echoes are dense.
    double previous = rms(l, 4410, 8820);
    ASSERT_GT(previous, 1e-5);
    for (int w = 2; w < 30; ++w) {
        double e = rms(l, w * 4410, (w + 1) * 4410);
        EXPECT_LT(e, previous) << "window " << w;
        previous = e;
    }
    EXPECT_LT(rms(l, 5 * fs, 6 * fs), rms(l, 4410, 8820) * 1e-3);
    // An impulse into the left only reaches both channels, decorrelated.
    double ll = 0, rr = 0, lr = 0;
    for (int n = 2000; n < fs; ++n) {
        ll += (double)l[n] * l[n];
        rr += (double)r[n] * r[n];
        lr += (double)l[n] * r[n];
    }
    EXPECT_NEAR(std::sqrt(rr / ll), 1.0, 0.3);
    EXPECT_LT(std::fabs(lr / std::sqrt(ll * rr)), 0.2);
}

TEST(EngineReverb, SwitchFadesInAndOut)
{
    Rig rig;
    rig.cleanPatch();
    rig.set(kReverbOn, 1.0f);
    rig.set(kReverbMix, 1.0f);
    rig.noteOn(60);
    // 20 x 280 frames at 44.1 kHz for a full fade.
    rig.render(5600 - 256, 64);
    EXPECT_LT(rig.engine->reverbFade(), 1.0f);
    rig.render(320, 64);
    EXPECT_GE(rig.engine->reverbFade(), 0.999f);
    Audio wet = rig.render(44100);
    ASSERT_TRUE(allFinite(wet.left));
    rig.noteOff(60);
    rig.set(kReverbOn, 0.0f);
    rig.render(5600 - 128, 64);
    EXPECT_GT(rig.engine->reverbFade(), 0.0f);
    rig.render(192, 64);
    EXPECT_EQ(rig.engine->reverbFade(), 0.0f);
}

TEST(EngineOutput, GainAndPan)
{
    auto level = [](float gain, float pan, bool left) {
        Rig rig;
        rig.cleanPatch();
        rig.set(kGain_out, gain);
        rig.set(kPan, pan);
        rig.noteOn(69);
        Audio a = rig.render(22050);
        return rms(left ? a.left : a.right, 11025);
    };
    const double full = level(1.0f, 0.5f, true);
    EXPECT_NEAR(level(0.5f, 0.5f, true) / full, 0.25, 0.005);
    EXPECT_NEAR(level(1.0f, 0.5f, false) / full, 1.0, 0.005);
    EXPECT_LT(level(1.0f, 0.0f, false), 1e-6);
    EXPECT_NEAR(level(1.0f, 0.0f, true) / full, 2.0, 0.01);
}

TEST(EngineOutput, PeakMeterHandShakeAndScopeRing)
{
    Rig rig;
    rig.cleanPatch();
    rig.publish = true;
    rig.noteOn(69);
    Audio a = rig.render(1025 + 10, 64);
    ASSERT_TRUE(rig.engine->peakReady());
    // The first window's signed maxima.
    double maxL = -1e9;
    for (int i = 0; i < 1024; ++i) maxL = std::fmax(maxL, a.left[i]);
    EXPECT_FLOAT_EQ(rig.engine->peakL(), (float)maxL);
    // No new pair until the editor has taken this one.
    float first = rig.engine->peakL();
    rig.render(5000);
    EXPECT_EQ(rig.engine->peakL(), first);
    rig.engine->clearPeakReady();
    rig.render(1025);
    EXPECT_TRUE(rig.engine->peakReady());
    EXPECT_NE(rig.engine->peakL(), first);
    // The scope holds the most recent left samples.
    Audio b = rig.render(4096 + 100);
    int at = rig.engine->scopeWriteIndex();
    const float* scope = rig.engine->scopeBuffer();
    EXPECT_EQ(rig.engine->scopeLength(), 4096);
    EXPECT_EQ(scope[at - 1], b.left.back());
    rig.engine->suspend();
    EXPECT_EQ(rig.engine->peakL(), 0.0f);
}

TEST(EngineOutput, EqualizerCurveUpdatesAndSampleRateResetsTheSections)
{
    Rig rig(48000.0f);
    rig.set(kEQHPHz, 0.0f);
    rig.set(kEQLPHz, 1.0f);
    rig.set(kEQBRGain, 1.0f);
    const float* curve = rig.engine->eqCurve();
    // Close to 1 from about 100 Hz to 10 kHz.
    for (int i = 0; i < SynthEngine::kEqCurvePoints; ++i) {
        float f = Equalizer::curveFrequency(i);
        if (f > 100.0f && f < 10000.0f) {
            EXPECT_NEAR(curve[i], 1.0f, 0.02f) << f;
        }
    }
    rig.set(kEQBRGain, 0.0f);
    rig.set(kEQBRHz, 0.5f);
    float least = 1.0f;
    int at = 0;
    for (int i = 0; i < SynthEngine::kEqCurvePoints; ++i)
        if (curve[i] < least) {
            least = curve[i];
            at = i;
        }
    EXPECT_LT(least, 0.01f);
    EXPECT_NEAR(Equalizer::curveFrequency(at), 774.6f, 774.6f * 0.02f);
    EXPECT_FLOAT_EQ(rig.engine->eqNotchHz(), 50.0f * powf(240.0f, 0.5f));
}
