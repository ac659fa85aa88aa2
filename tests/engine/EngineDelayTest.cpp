// The delay network: note-tuned periods, Memory times, the feedback envelope's
// decay, and long runs at the highest feedback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <vector>

#include "tests/engine/EngineRig.h"

using namespace enginetest;

namespace {
const double kFs = 44100.0;

// A patch whose only delayed path is line 1 (no wander, no feedback).
void lineOnePatch(Rig& rig)
{
    rig.cleanPatch();
    // Noise: an aperiodic part, so that the delay is unambiguous.
    rig.set({{kOn1, 1.0f}, {kRange1, 0.0f}, {kRange2, 0.0f}, {kRange3, 0.0f}, {kStereo, 0.0f}, {kNoise, 1.0f}});
}

// Line 1's contribution: the same render with line 1 on and off (the random
// sequence restarted, so both see identical noise), and the dry render.
void renderWithAndWithoutLine(const std::function<void(Rig&)>& setupPatch, int note, int frames,
                              std::vector<float>& dry, std::vector<float>& line, int lead = 0)
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

size_t bestLag(const std::vector<float>& x, const std::vector<float>& y, size_t from, size_t len, size_t maxLag)
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
        renderWithAndWithoutLine(
            [&](Rig& rig) {
                lineOnePatch(rig);
                rig.set({{kMemory, 0.0f}, {kLag1, c.lag}});
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
        // 60 blocks before the note let the base time settle at 250 x lag ms.
        renderWithAndWithoutLine(
            [&](Rig& rig) {
                lineOnePatch(rig);
                rig.set({{kNoise, 0.0f}, {kMemory, 1.0f}, {kLag1, lag}});
            },
            48, 20000, dry, line, 256 * 60);
        ASSERT_GE(firstAbove(dry, 1e-3), 0);
        const double measured = (double)(firstAbove(line, 1e-3) - firstAbove(dry, 1e-3)) / kFs * 1000.0;
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
        // Release1 at 0: the dry sound stops at note-off.
        rig.set({{kMemory, 0.0f}, {kFdBkAmount, amount}, {kRelease1, 0.0f}});
        rig.set({{kRelease2, 0.3f}, {kReverbOn, 0.0f}, {kEQOn, 0.0f}});
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
        for (int p : {kFdBkAmount, kHarmonics, kNoise, kRange1, kRange2, kRange3, kSpeed1, kSpeed2, kSpeed3, kOn1, kOn2,
                      kOn3, kADSR2harm, kADSR2wave, kWave, kRelease2, kGain_out})
            rig.set(p, 1.0f);
        rig.set({{kFdBkPhase, phase}, {kMemory, 0.0f}, {kLag1, 0.0f}});
        rig.noteOn(33, 127);
        const int seconds = phase == 0.0f ? 60 : 20;
        double maxMean = 0, maxPeak = 0;
        bool finite = true;
        for (int s = 0; s < seconds; ++s) {
            Audio a = rig.render(44100);
            finite = finite && allFinite(a.left) && allFinite(a.right);
            const double mean = std::accumulate(a.left.begin(), a.left.end(), 0.0) / (double)a.left.size();
            if (s > 0) maxMean = std::fmax(maxMean, std::fabs(mean));
            maxPeak = std::fmax(maxPeak, std::fmax(peak(a.left), peak(a.right)));
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
    rig.set({{kStereo, 1.0f}, {kOn2, 1.0f}, {kOn3, 0.0f}});
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

namespace {
double largestStep(const std::vector<float>& x, size_t from, size_t to)
{
    double m = 0;
    for (size_t i = from + 1; i < to && i < x.size(); ++i) m = std::fmax(m, std::fabs((double)x[i] - x[i - 1]));
    return m;
}

// One 250 ms echo of the dry note (Memory on, line 1 only), in one voice slot.
void echoPatch(Rig& rig)
{
    rig.cleanPatch();
    rig.set({{kPolyMono, 1.0f}, {kMemory, 1.0f}, {kLag1, 1.0f}, {kOn1, 1.0f}, {kRange1, 0.0f}, {kRelease1, 0.15f}});
}
}  // namespace

// The shortest delays read the frame just written, never the line's oldest
// content (131071 frames back): a note held past 2.97 s keeps its level.
TEST(EngineDelay, ShortestDelaysReadTheNewestFrames)
{
    Rig rig;
    rig.cleanPatch();
    // Ranges that wander within 0..2 frames; half a second of attack, so that the oldest content is quieter.
    for (int k : {kLag1, kLag2, kLag3}) rig.set(k, 0.0f);
    for (int k : {kRange1, kRange2, kRange3}) rig.set(k, 0.0045f);
    for (int k : {kOn1, kOn2, kOn3}) rig.set(k, 1.0f);
    rig.set({{kMemory, 1.0f}, {kAttack1, 0.5f}});
    rig.noteOn(57);
    Audio a = rig.render((int)(3.6 * kFs));
    const double before = rms(a.left, (size_t)(2.5 * kFs), (size_t)(2.9 * kFs));
    const double after = rms(a.left, (size_t)(3.0 * kFs), (size_t)(3.4 * kFs));
    EXPECT_NEAR(20.0 * std::log10(after / before), 0.0, 0.5);
    // The lines add to the dry sound: four times its level (less a slight comb).
    EXPECT_GT(before, 3.0 * rms(a.left, (size_t)(0.6 * kFs), (size_t)(0.7 * kFs)) / 4.0);
}

// When a note has ended, its echo plays out instead of stopping with a click;
// the slot's next note does not replay it.
TEST(EngineDelay, EchoesPlayOutAndNeverReplayInTheNextNote)
{
    Rig rig;
    echoPatch(rig);
    rig.noteOn(48);
    Audio a = rig.render((int)(0.5 * kFs));
    rig.noteOff(48);
    rig.render(a, (int)(1.5 * kFs));
    const size_t off = (size_t)(0.5 * kFs);
    const double steady = largestStep(a.left, (size_t)(0.1 * kFs), off);
    EXPECT_LE(largestStep(a.left, off, a.left.size()), steady) << "the echo ends without a step";
    EXPECT_GT(rms(a.left, off + (size_t)(0.26 * kFs), off + (size_t)(0.3 * kFs)), 0.01) << "the echo is heard";
    EXPECT_LT(peak(a.left, off + (size_t)(0.6 * kFs)), 1e-9) << "and then the slot is silent";
    EXPECT_FALSE(rig.engine->slotSounding(0));

    // A new note two octaves up: the old note's pitch stays out of its first 250 ms.
    rig.noteOn(72);
    Audio b = rig.render((int)(0.3 * kFs));
    const double oldPitch = std::norm(hannBin(b.left, 2048, 8192, 130.81, kFs));
    const double newPitch = std::norm(hannBin(b.left, 2048, 8192, 523.25, kFs));
    EXPECT_LT(10.0 * std::log10(oldPitch / newPitch), -60.0);
}

// A slot's lines still hold an earlier note's sound after its echoes have
// played out. A new note whose delay is gliding out to a longer time than the
// old one reads silence where it reaches back past its own start.
TEST(EngineDelay, ANewNoteNeverReadsAnEarlierNotesSound)
{
    Audio a[2];
    std::vector<float> delay;
    for (int lineOn = 0; lineOn < 2; ++lineOn) {
        Rig rig;
        lineOnePatch(rig);
        // Lag1 at 0: 1 ms behind note 84.
        rig.set({{kNoise, 0.0f}, {kPolyMono, 1.0f}, {kMemory, 0.0f}, {kRelease1, 0.0f}, {kLag1, 0.0f}});
        rig.noteOn(84);
        rig.render(a[lineOn], 22050);
        rig.noteOff(84);
        rig.render(a[lineOn], 44100);
        ASSERT_FALSE(rig.engine->slotSounding(0));
        rig.set({{kLag1, 1.0f}, {kOn1, (float)lineOn}});  // two octaves below note 36: 61 ms
        rig.noteOn(36);
        delay.clear();
        for (int t = 0; t < 3000; ++t) {
            delay.push_back(rig.engine->voice(0).delayFrames(0));
            rig.render(a[lineOn], 1, 1);
        }
    }
    // Line 1's share of the new note: nothing while its read position lies
    // before the note's first frame, the new note's echo afterwards.
    const size_t start = 22050 + 44100;
    double before = 0, after = 0;
    size_t counted = 0;
    for (size_t t = 0; t < delay.size(); ++t) {
        const double line = std::fabs(a[1].left[start + t] - a[0].left[start + t]);
        if (delay[t] > (float)t + 3.0f) {
            before = std::fmax(before, line);
            ++counted;
        } else if (delay[t] + 50.0f < (float)t) {
            after = std::fmax(after, line);
        }
    }
    ASSERT_GT(counted, 500u) << before << " " << after;
    EXPECT_LT(before, 1e-6);
    EXPECT_GT(after, 0.05);
}

// A line lowered below note 0 stays at note 0's period (122 ms), the longest.
TEST(EngineDelay, LoweredNotesStopAtTheBottomOfTheTable)
{
    Rig rig;
    lineOnePatch(rig);
    rig.set({{kOctave, 0.0f}, {kMemory, 0.0f}, {kLag1, 0.5f}});  // twelve semitones down
    rig.noteOn(8);                                               // folded to 20, then an octave down: 8, lowered to -4
    rig.render(2048);
    int slot = 0;
    while (slot < 8 && rig.engine->voiceNote(slot) != 8) ++slot;
    ASSERT_LT(slot, 8);
    EXPECT_NEAR(rig.engine->voice(slot).baseDelayMs(0), 1000.0 / 8.1758, 0.5);
}

// Slots render side by side in vectors when several sound and one by one
// otherwise; either way each slot plays its own note. With the random wander
// and the noise off, a chord (four slots side by side, a fifth alone) is the
// sum of its notes played alone, through feedback, envelope-driven ratio and
// harmonics, all three lines, the releases one after another (slots falling
// silent while others still sound) and the echoes after them.
TEST(EngineDelay, AChordIsTheSumOfItsNotesPlayedAlone)
{
    auto patch = [](Rig& rig) {
        for (int k : {kRange1, kRange2, kRange3, kNoise, kReverbOn, kEQOn, kMemory, kPolyMono}) rig.set(k, 0.0f);
        for (int k : {kOn1, kOn2, kOn3, kADSR2wave, kADSR2harm}) rig.set(k, 1.0f);
        rig.set({{kFdBkAmount, 0.7f}, {kRelease1, 0.1f}, {kRelease2, 0.05f}});
    };
    const int notes[] = {48, 52, 55, 59, 62};
    const int held = 20000, apart = 3000, after = 30000;
    auto play = [&](const std::vector<int>& chord) {
        Rig rig;
        patch(rig);
        for (int n : chord) rig.noteOn(n);
        Audio a = rig.render(held);
        for (int n : notes) {
            if (std::find(chord.begin(), chord.end(), n) != chord.end()) rig.noteOff(n);
            rig.render(a, apart, 333);
        }
        rig.render(a, after, 333);
        return a;
    };
    const Audio chord = play(std::vector<int>(std::begin(notes), std::end(notes)));
    std::vector<double> sum(chord.left.size(), 0.0);
    for (int n : notes) {
        const Audio alone = play({n});
        for (size_t i = 0; i < sum.size(); ++i) sum[i] += alone.left[i];
    }
    const double top = peak(chord.left);
    ASSERT_GT(top, 0.01);
    ASSERT_GT(peak(chord.left, held + 5000), 0.01 * top) << "the echoes still sound after the release";
    double worst = 0.0;
    for (size_t i = 0; i < sum.size(); ++i) worst = std::fmax(worst, std::fabs(chord.left[i] - sum[i]));
    EXPECT_LT(worst, 1e-4 * top);
}
