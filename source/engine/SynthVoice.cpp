#include "source/engine/SynthVoice.h"

#include <cmath>
#include <cstring>

#include "source/engine/EngineConstants.h"
#include "source/engine/FastMath.h"
#include "source/engine/Flush.h"


SynthVoice::SynthVoice()
{
    setSampleRate(kBaseRate);
    modSmoothing_ = Lanes{0.5f, 0.5f, 0.5f, 0.0f};
}

void SynthVoice::setSampleRate(float fs)
{
    sampleRate_ = fs;
    carrier_.setSampleRate(fs);
    modulator_.setSampleRate(fs);
    noteFrequency_ = 440.0f;
    harmonics_ = modulatorPm_ = carrierPm_ = carrierOut_ = modulatorOut_ = 0.0f;
    pmSmoothing_ = kTwoPi * 6800.0f / fs;
    for (ModuleLFO& lfo : lfo_) lfo.setSampleRate(fs);
    const float m = 2.0f * kTwoPi / fs;
    modSmoothing_ = Lanes{m, m, m, 0.0f};
    // Per-frame glides keep their times in seconds (the numbers are 44.1 kHz's).
    const double frames = (double)fs / kBaseRate;
    delayGlide_ = fs == kBaseRate ? 0.0025f : (float)(1.0 - std::pow(1.0 - 0.0025, 1.0 / frames));
    noteGlideKeep_ = fs == kBaseRate ? 0.9f : (float)std::pow(0.9, 1.0 / frames);
    noteGlideTake_ = fs == kBaseRate ? 0.1f : 1.0f - noteGlideKeep_;
    lowCoef_ = kTwoPi / fs * 3800.0f;
    highCoef_ = kTwoPi / fs * 120.0f;
    feedbackAmount_ = 0.0f;
    lineLevel_ = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    feedbackLow_ = feedbackHigh_ = 0.0f;
    stereoSpread_ = 0.0f;
    clearLines();
}

void SynthVoice::clearLines()
{
    std::memset(buffer_, 0, sizeof buffer_);
    silentRun_ = reach_ = 0;
}

void SynthVoice::recover()
{
    harmonics_ = modulatorPm_ = carrierPm_ = carrierOut_ = modulatorOut_ = 0.0f;
    carrier_.phase = carrier_.pmInput = 0.0f;
    modulator_.phase = modulator_.pmInput = 0.0f;
    feedbackAmount_ = feedbackLow_ = feedbackHigh_ = 0.0f;
    rectified_ = smoothedMod_ = Lanes{0.0f, 0.0f, 0.0f, 0.0f};
    const Lanes one = {1.0f, 1.0f, 1.0f, 0.0f};
    baseDelayMs_ = targetDelay_ = smoothedDelay_ = one;
    clearLines();
}

void SynthVoice::setNoteFrequency(float f)
{
    noteFrequency_ = f;
    carrier_.frequency = f;
    modulator_.frequency = f;
    float fc = 10175.0f - 5.625f * f;
    fc = fc < 2300.0f ? 2300.0f : (fc > 6800.0f ? 6800.0f : fc);
    pmSmoothing_ = kTwoPi / sampleRate_ * fc;
}

void SynthVoice::renderFrame(float* left, float* right, float e1, float e2, float noise, RuntimeRand& rand)
{
    // Delay times from the modulation sources (drawn in line order).
    const float m0 = lfo_[0].tick(rand);
    const float m1 = lfo_[1].tick(rand);
    const float m2 = lfo_[2].tick(rand);
    const Lanes m = {m0, m1, m2, 0.0f};
    const Lanes zero = {0.0f, 0.0f, 0.0f, 0.0f};
    rectified_ = m < zero ? -m : m;
    smoothedMod_ += (rectified_ - smoothedMod_) * modSmoothing_;
    const Lanes ms = smoothedMod_ * rangeMs_ + baseDelayMs_;
    Lanes target = ms * (sampleRate_ * 0.001f);
    const Lanes shortest = {0.01f, 0.01f, 0.01f, 0.01f};
    constexpr float kLongest = (float)(kLineLength - 1);
    const Lanes longest = {kLongest, kLongest, kLongest, kLongest};
    target = target >= shortest ? target : shortest;  // also catches a NaN
    target = target > longest ? longest : target;
    targetDelay_ = target;

    // Read each line before this frame's write: position writeIndex - delay,
    // as whole frames back plus a fraction, with 4-point Hermite interpolation.
    // The read is at least one frame back (the last frame written), and a
    // neighbour that would lie past it takes the last written value, so the
    // read never reaches the line's oldest content.
    const Lanes oneFrame = {1.0f, 1.0f, 1.0f, 1.0f};
    const Lanes delay = smoothedDelay_ >= oneFrame ? smoothedDelay_ : oneFrame;
    const IntLanes whole = __builtin_convertvector(delay, IntLanes);
    const Lanes t = 1.0f - (delay - __builtin_convertvector(whole, Lanes));
    const IntLanes at = (writeIndex_ - 1) - whole;
    const int i0 = at[0], i1 = at[1], i2 = at[2];
    Lanes ym1, y0, y1, y2;
    const float* b = buffer_;
    const unsigned inside = (unsigned)(kLineLength - 3);  // i - 1 .. i + 2 without wrapping
    if ((unsigned)(i0 - 1) < inside && (unsigned)(i1 - 1) < inside && (unsigned)(i2 - 1) < inside) {
        // Four neighbours of each tap in one load each, then transposed.
        Lanes r0, r1, r2;
        std::memcpy(&r0, b + i0 - 1, sizeof r0);
        std::memcpy(&r1, b + i1 - 1, sizeof r1);
        std::memcpy(&r2, b + i2 - 1, sizeof r2);
        ym1 = Lanes{r0[0], r1[0], r2[0], 0.0f};
        y0 = Lanes{r0[1], r1[1], r2[1], 0.0f};
        y1 = Lanes{r0[2], r1[2], r2[2], 0.0f};
        y2 = Lanes{r0[3], r1[3], r2[3], 0.0f};
    } else {
        // A tap next to the end of the memory: indices wrap.
        ym1 = Lanes{b[(i0 - 1) & kLineMask], b[(i1 - 1) & kLineMask], b[(i2 - 1) & kLineMask], 0.0f};
        y0 = Lanes{b[i0 & kLineMask], b[i1 & kLineMask], b[i2 & kLineMask], 0.0f};
        y1 = Lanes{b[(i0 + 1) & kLineMask], b[(i1 + 1) & kLineMask], b[(i2 + 1) & kLineMask], 0.0f};
        y2 = Lanes{b[(i0 + 2) & kLineMask], b[(i1 + 2) & kLineMask], b[(i2 + 2) & kLineMask], 0.0f};
    }
    const IntLanes two = {2, 2, 2, 2};
    y2 = whole < two ? y1 : y2;
    if (history_ < kLineLength) {
        // Frames further back than this sound's start read as silence.
        const IntLanes h = {history_, history_, history_, history_};
        const Lanes zero4 = {0.0f, 0.0f, 0.0f, 0.0f};
        ym1 = whole + 2 <= h ? ym1 : zero4;
        y0 = whole + 1 <= h ? y0 : zero4;
        y1 = whole <= h ? y1 : zero4;
        y2 = whole - 1 <= h ? y2 : zero4;
    }
    const int farthest = (whole[0] > whole[1] ? whole[0] : whole[1]) > whole[2]
                             ? (whole[0] > whole[1] ? whole[0] : whole[1])
                             : whole[2];
    reach_ = farthest + 3;
    const Lanes v = ((((2.0f * y1 + ym1) - 0.5f * (5.0f * y0 + y2)) +
                      0.5f * t * ((3.0f * (y0 - y1) - ym1) + y2)) * t +
                     0.5f * (y1 - ym1)) * t + y0;
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

    buffer_[writeIndex_] = in;
    writeIndex_ = (writeIndex_ + 1) & kLineMask;
    if (history_ < kLineLength) ++history_;
    silentRun_ = in == 0.0f ? (silentRun_ < kLineLength ? silentRun_ + 1 : silentRun_) : 0;

    float mid = (out3 + out2) * (1.0f - stereoSpread_);
    *left = stereoSpread_ * out2 + mid + in + out1;
    *right = stereoSpread_ * out3 + mid + in + out1;
}
