// One voice slot's sound: the phase-modulation operator pair, three delay lines
// (131072 frames of memory) read with Hermite interpolation at times that
// wander under sample-and-hold modulation, and a saturating band-limited
// feedback path from the lines' sum back into their common input.
#pragma once

#include <cmath>
#include <cstring>

#include "source/engine/FastMath.h"
#include "source/engine/Flush.h"
#include "source/engine/Lanes.h"
#include "source/engine/ModuleFMop.h"
#include "source/engine/ModuleLFO.h"
#include "source/engine/RuntimeRand.h"

// A slot's running state apart from its delay memory (SynthVoice adds the
// memory): small enough to be copied into locals while one slot renders a
// span of frames on its own, so that its state stays in registers instead of
// being reloaded after every store through a float pointer.
class VoiceCore {
public:
    static constexpr int kLines = 3;
    static constexpr int kLineLength = 131072;
    static constexpr int kLineMask = kLineLength - 1;

    // A new sound in a slot that has fallen silent: what its lines still hold
    // from earlier notes is never read again (it reads as silence).
    void startFresh() { history_ = 0; }
    // True while the lines still hold sound that their read positions reach:
    // the slot keeps rendering (with silent input) after its envelopes end,
    // so that echoes play out instead of stopping with a click.
    bool ringing() const { return silentRun_ < reach_; }

    // Note frequency of both operators, with the phase-modulation smoothing.
    void setNoteFrequency(float f);
    void setRatio(float r) { modulator_.setRatio(r); }
    void setHarmonics(float h) { harmonics_ = h; }
    void setTune(float t)
    {
        carrier_.setTune(t);
        modulator_.setTune(t);
    }
    void setLineLevel(int k, float level) { lineLevel_[k] = level; }
    void setLineLevels(F4 levels) { lineLevel_ = levels; }  // lane 3 0
    void setRangeMs(int k, float ms) { rangeMs_[k] = ms; }
    void setModulationRate(int k, float hz) { lfoStep_[k] = 2.0f * ModuleLFO::incrementFor(hz, sampleRate_); }
    void setStereoSpread(float s) { stereoSpread_ = s; }
    void setFeedbackAmount(float a) { feedbackAmount_ = a; }
    // Base time glide: base <- 0.9 base + add (Memory: add = 25 x lag once per
    // block; note mode: add = 0.1 x period once per frame).
    void glideBaseDelay(int k, float add)
    {
        baseDelayMs_[k] = 0.9f * baseDelayMs_[k] + add;
        noteGlideMoving_ = true;
    }
    // All three lines at once: Memory mode (add = 25 x lag per line, per block).
    void glideBaseDelays(float add1, float add2, float add3)
    {
        baseDelayMs_ = 0.9f * baseDelayMs_ + Lanes{add1, add2, add3, 0.0f};
        noteGlideMoving_ = true;
    }
    // Note mode: the three lines' targets, one period of the note lowered by
    // each line's semitones (`periodMs` indexed by note; a lowered note below
    // 0 stays at note 0, the longest period). Set when the note or the
    // semitones change.
    void setNotePeriods(const float* periodMs, int note, const int* semitones)
    {
        int i1 = note - semitones[0], i2 = note - semitones[1], i3 = note - semitones[2];
        if (i1 < 0) i1 = 0;
        if (i2 < 0) i2 = 0;
        if (i3 < 0) i3 = 0;
        notePeriodsMs_ = Lanes{periodMs[i1], periodMs[i2], periodMs[i3], 0.0f};
        noteGlideMoving_ = true;
    }
    // Note mode, per frame: 0.9 of the old time and 0.1 of the target at
    // 44.1 kHz, the same glide time at other rates. Once a step changes
    // nothing, bit for bit, no later step does either: the steps stop until
    // the times or the target change.
    void glideToNote()
    {
        if (!noteGlideMoving_) return;
        const Lanes next = noteGlideKeep_ * baseDelayMs_ + noteGlideTake_ * notePeriodsMs_;
        noteGlideMoving_ = std::memcmp(&next, &baseDelayMs_, sizeof next) != 0;
        baseDelayMs_ = next;
    }
    // glideToNote() would change nothing, bit for bit (nor would any later step).
    bool noteGlideSettled() const
    {
        if (!noteGlideMoving_) return true;
        const Lanes next = noteGlideKeep_ * baseDelayMs_ + noteGlideTake_ * notePeriodsMs_;
        return std::memcmp(&next, &baseDelayMs_, sizeof next) == 0;
    }

    // One frame through the delay memory `lines` (kLineLength frames); the
    // modulation sources draw new values from `rand`.
    void renderFrameTo(float* lines, float* left, float* right, float e1, float e2, float noise, RuntimeRand& rand);

    float noteFrequency() const { return noteFrequency_; }
    float ratio() const { return modulator_.pitchRatio(); }
    float harmonics() const { return harmonics_; }
    float baseDelayMs(int k) const { return baseDelayMs_[k]; }
    float delayFrames(int k) const { return smoothedDelay_[k]; }
    // Both operators' tuning is `t` (setTune(t) would change nothing).
    bool tunedTo(float t) const { return carrier_.tuning() == t && modulator_.tuning() == t; }

protected:
    friend class VoiceLanes;  // renders four slots side by side
    float oscillatorTick()
    {
        const float k = pmSmoothing_;
        modulatorPm_ += (harmonics_ * modulatorOut_ - modulatorPm_) * k;
        modulator_.pmInput = modulatorPm_;
        modulatorOut_ = modulator_.tick();
        carrierPm_ += (modulatorOut_ + carrierOut_ - carrierPm_) * k;
        carrier_.pmInput = carrierPm_;
        carrierOut_ = carrier_.tick();
        return carrierOut_;
    }

    // Oscillator state.
    float harmonics_ = 0.0f;
    float modulatorPm_ = 0.0f;
    float carrierPm_ = 0.0f;
    float noteFrequency_ = 440.0f;
    float pmSmoothing_;
    float sampleRate_ = 44100.0f;
    float carrierOut_ = 0.0f;
    float modulatorOut_ = 0.0f;

    // Feedback and output state.
    float feedbackAmount_ = 0.0f;
    float feedbackLow_ = 0.0f;
    float feedbackHigh_ = 0.0f;
    float stereoSpread_ = 0.0f;
    float lowCoef_, highCoef_;  // 2 pi x 3800 / fs, 2 pi x 120 / fs

    ModuleFMop carrier_;
    ModuleFMop modulator_;

    // The three lines' modulation and delay state side by side (lane 3 unused),
    // so that the wander, the delay glide and the interpolation of all three
    // lines run as one vector operation.
    typedef F4 Lanes;
    typedef I4 IntLanes;
    Lanes lineLevel_ = {0.0f, 0.0f, 0.0f, 0.0f};
    Lanes smoothedMod_ = {0.0f, 0.0f, 0.0f, 0.0f};   // after a 2 Hz one-pole
    Lanes modSmoothing_ = {0.5f, 0.5f, 0.5f, 0.0f};  // 2 x 2 pi / fs
    Lanes baseDelayMs_ = {1.0f, 1.0f, 1.0f, 0.0f};
    Lanes notePeriodsMs_ = {1.0f, 1.0f, 1.0f, 0.0f};  // note mode's targets
    Lanes rangeMs_ = {1.0f, 1.0f, 1.0f, 0.0f};
    Lanes targetDelay_ = {1.0f, 1.0f, 1.0f, 0.0f};    // frames, 0.01..131071
    Lanes smoothedDelay_ = {0.0f, 0.0f, 0.0f, 0.0f};  // frames actually read
    float delayGlide_ = 0.0025f;                      // share of the way to the target delay per frame
    float noteGlideKeep_ = 0.9f;                      // note mode's base-time glide per frame
    float noteGlideTake_ = 0.1f;
    bool noteGlideMoving_ = true;  // a note-mode glide step may still change the base times
    // Sample-and-hold sources (ModuleLFO, one per line): the phase, twice its
    // increment, the value held.
    Lanes lfoPhase_ = {-1.0f, -1.0f, -1.0f, 0.0f};
    Lanes lfoStep_;
    Lanes lfoOutput_ = {0.0f, 0.0f, 0.0f, 0.0f};

    // The three lines always receive the same input at the same write index,
    // so they share one memory and differ only in where they read.
    int writeIndex_ = 1024;
    // Frames written since the slot last started fresh (at most kLineLength):
    // older frames are earlier notes' sound and read as silence.
    int history_ = kLineLength;
    // Frames of silent input written in a row, and how far back the reads
    // reach (frames): the lines are quiet once the first covers the second.
    int silentRun_ = 0;
    int reach_ = 0;
};

class SynthVoice : public VoiceCore {
public:
    SynthVoice();

    // Rate change and reset: operator and modulation rates, oscillator state,
    // feedback state, levels and spread to 0, delay memory cleared.
    void setSampleRate(float fs);
    void clearLines();
    // Back to a playable state after a non-finite or runaway value got in:
    // oscillator, feedback, modulation and delay memory cleared.
    void recover();

    // One frame; the modulation sources draw new values from `rand`.
    __attribute__((always_inline)) void renderFrame(float* left, float* right, float e1, float e2, float noise,
                                                    RuntimeRand& rand)
    {
        renderFrameTo(buffer_, left, right, e1, e2, noise, rand);
    }
    float* lines() { return buffer_; }

private:
    friend class VoiceLanes;
    float buffer_[kLineLength];
};

// Always inlined into the engine's slot loop: a call would spill and reload the
// caller's state for every slot and frame.
__attribute__((always_inline)) inline void VoiceCore::renderFrameTo(float* lines, float* left, float* right, float e1,
                                                                    float e2, float noise, RuntimeRand& rand)
{
    using namespace lanes;
    // Modulation sources (ModuleLFO::tick of each line): phase += 2 x
    // increment; past 2 it restarts at -2 with a new value, drawn in line order.
    lfoPhase_ += lfoStep_;
    const IntLanes draws = lfoPhase_ >= 2.0f;
    if (bits(draws)) {
        for (int k = 0; k < kLines; ++k) {
            if (!draws[k]) continue;
            lfoPhase_[k] = -2.0f;
            float held;
            lfoOutput_[k] = ModuleLFO::draw(rand, held);
        }
    }

    // Delay times: |source| through a 2 Hz one-pole, times the range, plus the
    // base time; in frames, within 0.01 .. kLineLength - 1 (a NaN gives 0.01).
    // (The source is never -0 or NaN: abs is m < 0 ? -m : m.)
    smoothedMod_ += (abs(lfoOutput_) - smoothedMod_) * modSmoothing_;
    const Lanes ms = smoothedMod_ * rangeMs_ + baseDelayMs_;
    constexpr float kLongest = (float)(kLineLength - 1);
    targetDelay_ = atMost(atLeast(ms * (sampleRate_ * 0.001f), splat(0.01f)), splat(kLongest));

    // Read each line before this frame's write: position writeIndex - delay,
    // as whole frames back plus a fraction, with 4-point Hermite interpolation.
    // The read is at least one frame back (the last frame written), and a
    // neighbour that would lie past it takes the last written value, so the
    // read never reaches the line's oldest content.
    const Lanes delay = atLeast(smoothedDelay_, splat(1.0f));  // lane 3: 1
    const IntLanes whole = truncate(delay);
    const Lanes t = 1.0f - (delay - toFloat(whole));
    const IntLanes at = (writeIndex_ - 1) - whole;
    const int i0 = at[0], i1 = at[1], i2 = at[2];
    Lanes ym1, y0, y1, y2;
    const float* b = lines;
    const unsigned inside = (unsigned)(kLineLength - 3);  // i - 1 .. i + 2 without wrapping
    if ((unsigned)(i0 - 1) < inside && (unsigned)(i1 - 1) < inside && (unsigned)(i2 - 1) < inside) {
        // Four neighbours of each tap in one load each, then transposed.
        Lanes r0, r1, r2;
        std::memcpy(&r0, b + i0 - 1, sizeof r0);
        std::memcpy(&r1, b + i1 - 1, sizeof r1);
        std::memcpy(&r2, b + i2 - 1, sizeof r2);
        transpose(r0, r1, r2, Lanes{}, ym1, y0, y1, y2);
    } else {
        // A tap next to the end of the memory: indices wrap.
        ym1 = Lanes{b[(i0 - 1) & kLineMask], b[(i1 - 1) & kLineMask], b[(i2 - 1) & kLineMask], 0.0f};
        y0 = Lanes{b[i0 & kLineMask], b[i1 & kLineMask], b[i2 & kLineMask], 0.0f};
        y1 = Lanes{b[(i0 + 1) & kLineMask], b[(i1 + 1) & kLineMask], b[(i2 + 1) & kLineMask], 0.0f};
        y2 = Lanes{b[(i0 + 2) & kLineMask], b[(i1 + 2) & kLineMask], b[(i2 + 2) & kLineMask], 0.0f};
    }
    y2 = whole < 2 ? y1 : y2;
    // The farthest read: whole part of the longest delay (lane 3's 1 is never longer).
    Lanes longest = atLeast(delay, __builtin_shufflevector(delay, delay, 2, 3, 0, 1));
    longest = atLeast(longest, __builtin_shufflevector(longest, longest, 1, 0, 3, 2));
    const int farthest = (int)longest[0];
    if (history_ < kLineLength && history_ < farthest + 2) {
        // Frames further back than this sound's start read as silence (no
        // read of the three lines reaches them while history_ >= farthest + 2).
        const IntLanes h = splat(history_);
        ym1 = whole + 2 <= h ? ym1 : Lanes{};
        y0 = whole + 1 <= h ? y0 : Lanes{};
        y1 = whole <= h ? y1 : Lanes{};
        y2 = whole - 1 <= h ? y2 : Lanes{};
    }
    reach_ = farthest + 3;
    const Lanes v = ((((2.0f * y1 + ym1) - 0.5f * (5.0f * y0 + y2)) + 0.5f * t * ((3.0f * (y0 - y1) - ym1) + y2)) * t +
                     0.5f * (y1 - ym1)) *
                        t +
                    y0;
    smoothedDelay_ += (targetDelay_ - smoothedDelay_) * delayGlide_;
    const Lanes out = v * lineLevel_;
    const float out1 = out[0], out2 = out[1], out3 = out[2];

    // Saturated sum, band-limited to 120..3800 Hz, fed back.
    if (std::fabs(feedbackAmount_) <= 0.001f) {
        feedbackLow_ = feedbackHigh_ = 0.0f;
    } else {
        float s = fastTanh((out3 + out2 + out1) * 0.3f * feedbackAmount_);
        feedbackLow_ = flushByMagnitude(feedbackLow_ + (0.93f * s - feedbackLow_) * lowCoef_);
        feedbackHigh_ = flushByMagnitude(feedbackHigh_ + (feedbackLow_ - feedbackHigh_) * highCoef_);
    }

    float osc = oscillatorTick();
    float in = (osc + noise) * e1 + (feedbackLow_ - feedbackHigh_) * e2;

    lines[writeIndex_] = in;
    writeIndex_ = (writeIndex_ + 1) & kLineMask;
    if (history_ < kLineLength) ++history_;
    silentRun_ = in == 0.0f ? (silentRun_ < kLineLength ? silentRun_ + 1 : silentRun_) : 0;

    float mid = (out3 + out2) * (1.0f - stereoSpread_);
    *left = stereoSpread_ * out2 + mid + in + out1;
    *right = stereoSpread_ * out3 + mid + in + out1;
}
