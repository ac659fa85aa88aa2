// The shared stereo chain: reverb tail, fade and decorrelation, gain and pan,
// the peak-meter hand-shake, the scope ring and the equalizer curve's updates.
#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <limits>
#include <memory>
#include <vector>

#include "source/engine/ModuleReverb.h"
#include "tests/engine/EngineRig.h"
#include "tools/analysis/Spectrum.h"

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
    rig.set({{kReverbOn, 1.0f}, {kReverbMix, 1.0f}});
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
        rig.set({{kGain_out, gain}, {kPan, pan}});
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
    EXPECT_FLOAT_EQ(rig.engine->peakL(), *std::max_element(a.left.begin(), a.left.begin() + 1024));
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
    EXPECT_EQ(rig.engine->scopeBuffer()[at - 1], b.left.back());
    rig.engine->suspend();
    EXPECT_EQ(rig.engine->peakL(), 0.0f);
}

TEST(EngineOutput, EqualizerCurveFollowsTheParameters)
{
    Rig rig(48000.0f);
    rig.set({{kEQHPHz, 0.0f}, {kEQLPHz, 1.0f}, {kEQBRGain, 1.0f}});
    const std::atomic<float>* curve = rig.engine->eqCurve();
    // Close to 1 from about 100 Hz to 10 kHz.
    for (int i = 0; i < SynthEngine::kEqCurvePoints; ++i) {
        float f = Equalizer::curveFrequency(i);
        if (f > 100.0f && f < 10000.0f) {
            EXPECT_NEAR(curve[i], 1.0f, 0.02f) << f;
        }
    }
    rig.set({{kEQBRGain, 0.0f}, {kEQBRHz, 0.5f}});
    float least = 1.0f;
    int at = 0;
    for (int i = 0; i < SynthEngine::kEqCurvePoints; ++i)
        if (curve[i] < least) {
            least = curve[i];
            at = i;
        }
    EXPECT_LT(least, 0.01f);
    EXPECT_NEAR(Equalizer::curveFrequency(at), 774.6f, 774.6f * 0.02f);
}

// After a note's tail the output settles to exact zeros, never to denormals,
// with the equalizer and reverb off, with the gain at 0, and with both on
// (they fall asleep once the tail is below a 24-bit step). A note after the
// silence wakes them; every block size gives the same samples throughout.
TEST(EngineOutput, TailsEndInZerosNotDenormals)
{
    for (int setting = 0; setting < 3; ++setting) {
        Audio a[2];
        for (int k = 0; k < 2; ++k) {
            const int block = k == 0 ? 256 : 7;
            // At 48 kHz Memory mode's delay times glide towards the lags in
            // steps every 279 frames, off the 64-frame grid of the master
            // chain: the steps fall on the same frames whatever the block
            // size, also while one slot renders alone.
            Rig rig(48000.0f);
            const float on = setting == 2 ? 1.0f : 0.0f;
            rig.set({{kEQOn, on}, {kReverbOn, on}, {kRelease1, 0.1f}, {kRelease2, 0.1f}, {kMemory, 1.0f}, {kLag1, 0.3f},
                     {kLag2, 0.6f}, {kLag3, 0.9f}});
            rig.noteOn(60);
            rig.render(a[k], 22050, block);
            if (setting == 1) rig.set(kGain_out, 0.0f);
            rig.noteOff(60);
            rig.render(a[k], 44100 * 12, block);
            if (setting == 2) {
                rig.noteOn(67);
                rig.render(a[k], 22050, block);
            }
        }
        const size_t silenceEnd = 22050 + 44100 * 12;
        // Every sample 0 or at least 1e-30 in magnitude: nothing denormal reaches the host.
        for (const std::vector<float>* c : {&a[0].left, &a[0].right})
            EXPECT_FALSE(std::any_of(c->begin(), c->end(), [](float v) { return v != 0.0f && std::fabs(v) < 1e-30f; }))
                << "setting " << setting;
        EXPECT_EQ(peak(a[0].left, silenceEnd - 44100, silenceEnd), 0.0) << "setting " << setting;
        EXPECT_TRUE(a[0].left == a[1].left && a[0].right == a[1].right) << "setting " << setting;
        EXPECT_TRUE(setting < 2 || rms(a[0].left, silenceEnd + 11025) > 0.01) << "the next note sounds";
    }
}

// A non-finite value inside the chain (here an infinite noise level, which
// poisons a voice's noise filter and lines) never reaches the host, and the
// instrument plays again at the next note, through equalizer and reverb.
TEST(EngineOutput, NonFiniteStagesAreClearedAndTheNextNotePlays)
{
    Rig rig;
    // One slot: the next note lands in the poisoned one.
    rig.set({{kEQOn, 1.0f}, {kReverbOn, 1.0f}, {kPolyMono, 1.0f}});
    rig.noteOn(60);
    Audio a = rig.render(8192);
    rig.set(kNoise, std::numeric_limits<float>::infinity());
    rig.render(a, 8192);
    rig.set(kNoise, 0.0f);
    rig.noteOff(60);
    rig.render(a, 44100);
    EXPECT_TRUE(allFinite(a.left) && allFinite(a.right));
    EXPECT_LE(peak(a.left), 32.0);
    rig.noteOn(64);
    Audio b = rig.render(22050);
    EXPECT_TRUE(allFinite(b.left) && allFinite(b.right));
    EXPECT_GT(rms(b.left, 11025), 0.01) << "the next note sounds";
}

// The top of the range at 44.1 kHz (note 116 with the octave up, table entry
// 128) with Noise at 0: the dither alone once drove its band-pass to 1e32.
TEST(EngineOutput, TopNoteWithTheOctaveUpStaysBounded)
{
    Rig rig;
    rig.set({{kOctave, 1.0f}, {kNoise, 0.0f}});
    rig.noteOn(116, 127);
    Audio a = rig.render(44100);
    EXPECT_TRUE(allFinite(a.left));
    EXPECT_LT(peak(a.left), 4.0);
    rig.noteOff(116);
    rig.noteOn(60);
    rig.render(a, 22050);
    EXPECT_GT(rms(a.left, a.left.size() - 11025), 0.01);
}

// Instances draw their noise and wander from their own generators: what one
// renders does not depend on another rendering at the same time.
TEST(EngineOutput, InstancesSoundTheSameAloneAndTogether)
{
    auto play = [](Rig& rig) {
        rig.set(kNoise, 0.5f);
        rig.noteOn(57);
    };
    Rig alone;
    play(alone);
    Audio a = alone.render(4096);
    Rig first, second;
    play(first);
    play(second);
    Audio b, c;
    for (int block = 0; block < 16; ++block) {
        first.render(b, 256);
        second.render(c, 256);
    }
    EXPECT_TRUE(a.left == b.left);
    EXPECT_TRUE(a.left == c.left);
}

namespace {
// Energy away from the harmonics of f0 against all energy, in dB.
double offHarmonicDb(const std::vector<float>& x, size_t from, double f0)
{
    const std::vector<double> p =
        analysis::powerSpectrum(x.data() + from, x.size() - from, 4096, analysis::Window::kBlackmanHarris);
    const double bin = 44100.0 / 4096.0;
    double all = 0, off = 0;
    for (size_t i = 2; i < p.size(); ++i) {
        const double f = (double)i * bin;
        const double nearest = std::round(f / f0) * f0;
        all += p[i];
        if (std::fabs(f - nearest) > 6.0 * bin) off += p[i];
    }
    return 10.0 * std::log10(off / all);
}
}  // namespace

// A host's automation arrives once per block. Pan, the three line levels,
// Stereo and Harmonics swept that way glide between the steps instead of
// jumping: what the steps add off the note's harmonics stays 55 dB down.
TEST(EngineOutput, AutomationOncePerBlockMakesNoZipperNoise)
{
    for (int param : {kPan, kOn1, kOn2, kOn3, kStereo, kHarmonics}) {
        Rig rig;
        rig.cleanPatch();
        for (int k : {kRange1, kRange2, kRange3, kMemory}) rig.set(k, 0.0f);
        for (int k : {kOn1, kOn2, kOn3, kStereo}) rig.set(k, 0.5f);
        rig.set(param, 0.0f);
        rig.noteOn(69);
        Audio a = rig.render(8192);
        // 100 ms from 0 to 1, one value per 256-frame block.
        for (int block = 0; block < 24; ++block) {
            rig.set(param, std::min(1.0f, (float)block / 17.0f));
            rig.render(a, 256);
        }
        const std::vector<float>& channel = param == kPan || param == kStereo ? a.right : a.left;
        EXPECT_LT(offHarmonicDb(channel, 8192, 440.0), -55.0) << "parameter " << param;
    }
}
