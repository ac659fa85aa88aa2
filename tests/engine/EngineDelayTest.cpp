// The delay network: note-tuned periods, Memory times, the feedback envelope's
// decay, and long runs at the highest feedback.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/engine/EngineRig.h"

using namespace enginetest;

namespace {
const double kFs = 44100.0;

// A patch whose only delayed path is line 1 (no wander, no feedback).
void lineOnePatch(Rig& rig)
{
    rig.cleanPatch();
    rig.set(kOn1, 1.0f);
    rig.set(kRange1, 0.0f);
    rig.set(kRange2, 0.0f);
    rig.set(kRange3, 0.0f);
    rig.set(kStereo, 0.0f);
    rig.set(kNoise, 1.0f);  // an aperiodic part, so the delay is unambiguous
}

// Line 1's contribution: the same render with line 1 on and off (the random
// sequence restarted, so both see identical noise), and the dry render.
void renderWithAndWithoutLine(void (*setupPatch)(Rig&), int note, int frames, std::vector<float>& dry,
                              std::vector<float>& line, int lead = 0)
{
    Audio a[2];
    for (int on = 0; on < 2; ++on) {
        Rig rig;
        setupPatch(rig);
        rig.set(kOn1, (float)on);
        if (lead > 0) rig.render(a[on], lead);
        rig.noteOn(note, 127);
        rig.render(a[on], frames);
    }
    dry = a[0].left;
    line.resize(dry.size());
    for (size_t i = 0; i < dry.size(); ++i) line[i] = a[1].left[i] - a[0].left[i];
}

size_t bestLag(const std::vector<float>& x, const std::vector<float>& y, size_t from, size_t len,
               size_t maxLag)
{
    size_t best = 0;
    double bestValue = -1e300;
    for (size_t lag = 1; lag < maxLag; ++lag) {
        double s = 0;
        for (size_t i = from; i < from + len; ++i) s += (double)y[i] * x[i - lag];
        if (s > bestValue) {
            bestValue = s;
            best = lag;
        }
    }
    return best;
}
}  // namespace

TEST(EngineDelay, LinePeriodsFollowTheNote)
{
    struct Case {
        int note;
        float lag;  // semitones below the note: whole part of 24 x lag + 0.5
        int semitones;
    };
    const Case cases[] = {{69, 0.0f, 0}, {69, 7.0f / 24.0f, 7}, {81, 7.0f / 24.0f, 7}, {57, 0.5f, 12}};
    for (const Case& c : cases) {
        std::vector<float> dry, line;
        static float lagValue;
        lagValue = c.lag;
        renderWithAndWithoutLine(
            [](Rig& rig) {
                lineOnePatch(rig);
                rig.set(kMemory, 0.0f);
                rig.set(kLag1, lagValue);
            },
            c.note, 30000, dry, line);
        double period = kFs / (440.0 * std::pow(2.0, (c.note - c.semitones - 69) / 12.0));
        size_t lag = bestLag(dry, line, 20000, 8192, 1200);
        EXPECT_NEAR((double)lag, period, 1.0) << "note " << c.note << " lag " << c.semitones;
    }
}

TEST(EngineDelay, MemoryModeHoldsFreeTimes)
{
    for (float lag : {0.2f, 1.0f}) {
        std::vector<float> dry, line;
        static float lagValue;
        lagValue = lag;
        // 60 blocks before the note let the base time settle at 250 x lag ms.
        renderWithAndWithoutLine(
            [](Rig& rig) {
                lineOnePatch(rig);
                rig.set(kNoise, 0.0f);
                rig.set(kMemory, 1.0f);
                rig.set(kLag1, lagValue);
            },
            48, 20000, dry, line, 256 * 60);
        auto onset = [](const std::vector<float>& x) {
            for (size_t i = 0; i < x.size(); ++i)
                if (std::fabs(x[i]) > 1e-3) return i;
            return x.size();
        };
        double measured = (double)(onset(line) - onset(dry)) / kFs * 1000.0;
        EXPECT_NEAR(measured, 250.0 * lag, 250.0 * lag * 0.01 + 0.1) << "lag " << lag;
    }
}

TEST(EngineDelay, FeedbackRingsUnderItsEnvelopeAndThenStops)
{
    // Release2 = 0.3: 35 x 0.09 = 3.15 s; the feedback envelope falls idle when
    // its distance to -0.0001 has shrunk 5000-fold: 3.15 x ln 5000.5 / ln 11 s.
    const double idleAt = 3.15 * std::log(5000.5) / std::log(11.0);
    const size_t sec = 44100;
    double ring[2] = {0, 0};
    for (float amount : {0.0f, 1.0f}) {
        Rig rig;
        rig.set(kMemory, 0.0f);
        rig.set(kFdBkAmount, amount);
        rig.set(kRelease1, 0.0f);  // the dry sound stops at note-off
        rig.set(kRelease2, 0.3f);
        rig.set(kReverbOn, 0.0f);
        rig.set(kEQOn, 0.0f);
        rig.noteOn(57, 127);
        Audio a = rig.render((int)sec);
        const size_t off = a.left.size();
        const double playing = rms(a.left, off - 4410, off);
        ASSERT_GT(playing, 0.001);
        rig.noteOff(57);
        rig.render(a, (int)(idleAt * 0.97 * sec));
        EXPECT_TRUE(rig.engine->slotActive(0));
        rig.render(a, (int)(idleAt * 0.06 * sec));
        EXPECT_FALSE(rig.engine->slotActive(0));
        // Without feedback the lines empty within their delay; with it the
        // loop rings on after the note-off.
        // 50..100 ms after the note-off: past the lines' delay and the DC blocker's settling.
        ring[amount > 0.0f] = rms(a.left, off + 2205, off + 4410) / playing;
        rig.render(a, 4096);
        EXPECT_LT(peak(a.left, a.left.size() - 4096), 1e-5);
    }
    // Without feedback only the output's DC blocker still settles; the
    // feedback loop rings on well above it.
    EXPECT_LT(ring[0], 0.01);
    EXPECT_GT(ring[1], 10.0 * ring[0]);
}

TEST(EngineDelay, HighestFeedbackStaysFiniteBoundedAndCentred)
{
    for (float phase : {0.0f, 1.0f}) {
        Rig rig;
        for (int p : {kFdBkAmount, kHarmonics, kNoise, kRange1, kRange2, kRange3, kSpeed1, kSpeed2,
                      kSpeed3, kOn1, kOn2, kOn3, kADSR2harm, kADSR2wave, kWave, kRelease2, kGain_out})
            rig.set(p, 1.0f);
        rig.set(kFdBkPhase, phase);
        rig.set(kMemory, 0.0f);
        rig.set(kLag1, 0.0f);
        rig.noteOn(33, 127);
        const int seconds = phase == 0.0f ? 60 : 20;
        double maxMean = 0, maxPeak = 0;
        bool finite = true;
        for (int s = 0; s < seconds; ++s) {
            Audio a = rig.render(44100);
            finite = finite && allFinite(a.left) && allFinite(a.right);
            double mean = 0;
            for (float v : a.left) mean += v;
            mean /= a.left.size();
            if (s > 0) maxMean = std::fmax(maxMean, std::fabs(mean));
            maxPeak = std::fmax(maxPeak, peak(a.left));
            maxPeak = std::fmax(maxPeak, peak(a.right));
        }
        EXPECT_TRUE(finite);
        EXPECT_LT(maxPeak, 60.0);
        EXPECT_GT(maxPeak, 0.1);
        EXPECT_LT(maxMean, 0.01);
    }
}

TEST(EngineDelay, StereoSpreadSeparatesLinesTwoAndThree)
{
    Rig rig;
    rig.cleanPatch();
    rig.set(kStereo, 1.0f);
    rig.set(kOn2, 1.0f);
    rig.set(kOn3, 0.0f);
    rig.noteOn(60);
    Audio a = rig.render(22050);
    // Delay 2 only on the left; the right carries the dry signal alone.
    Rig dry;
    dry.cleanPatch();
    dry.noteOn(60);
    Audio b = dry.render(22050);
    double diffRight = 0, diffLeft = 0;
    for (size_t i = 11025; i < 22050; ++i) {
        diffRight += std::fabs(a.right[i] - b.right[i]);
        diffLeft += std::fabs(a.left[i] - b.left[i]);
    }
    EXPECT_LT(diffRight / 11025, 1e-4);
    EXPECT_GT(diffLeft / 11025, 0.01);
}
