#include "source/engine/SynthVoice.h"

#include <cmath>
#include <cstring>

#include "source/engine/Flush.h"

namespace {
constexpr float kTwoPi = 6.2831855f;
}

SynthVoice::SynthVoice()
{
    clearLines();
    setSampleRate(44100.0f);
    for (Modulation& m : mods_) m.modSmoothing = 0.5f;
}

void SynthVoice::setSampleRate(float fs)
{
    sampleRate_ = fs;
    carrier_.setSampleRate(fs);
    modulator_.setSampleRate(fs);
    noteFrequency_ = 440.0f;
    harmonics_ = modulatorPm_ = carrierPm_ = carrierOut_ = modulatorOut_ = 0.0f;
    pmSmoothing_ = kTwoPi * 6800.0f / fs;
    for (Modulation& m : mods_) {
        m.lfo.setSampleRate(fs);
        m.modSmoothing = 2.0f * kTwoPi / fs;
    }
    lowCoef_ = kTwoPi / fs * 3800.0f;
    highCoef_ = kTwoPi / fs * 120.0f;
    feedbackAmount_ = 0.0f;
    for (float& l : lineLevel_) l = 0.0f;
    feedbackLow_ = feedbackHigh_ = 0.0f;
    stereoSpread_ = 0.0f;
    clearLines();
}

void SynthVoice::clearLines()
{
    for (Line& line : lines_) std::memset(line.buffer, 0, sizeof line.buffer);
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

void SynthVoice::renderFrame(float* left, float* right, float e1, float e2, float noise)
{
    // Delay times from the modulation sources.
    for (int k = 0; k < kLines; ++k) {
        Modulation& m = mods_[k];
        float v = m.lfo.tick();
        m.rectified = std::fabs(v);
        m.smoothedMod += (m.rectified - m.smoothedMod) * m.modSmoothing;
        float ms = m.smoothedMod * m.rangeMs + m.baseDelayMs;
        double target = (double)(ms * sampleRate_ * 0.001f);
        if (!(target >= 0.01)) target = 0.01;
        if (target > 131071.0) target = 131071.0;
        lines_[k].targetDelay = target;
    }

    // Read each line before this frame's write (4-point Hermite).
    float out[kLines];
    for (int k = 0; k < kLines; ++k) {
        Line& line = lines_[k];
        double p = (double)line.writeIndex - (double)line.smoothedDelay;
        if (p < 0.0) p += (double)kLineLength;
        int i = (int)p;
        float t = (float)(p - (double)i);
        const float* b = line.buffer;
        float ym1 = b[(i - 1) & kLineMask];
        float y0 = b[i & kLineMask];
        float y1 = b[(i + 1) & kLineMask];
        float y2 = b[(i + 2) & kLineMask];
        float v = ((((2.0f * y1 + ym1) - 0.5f * (5.0f * y0 + y2)) +
                    0.5f * t * ((3.0f * (y0 - y1) - ym1) + y2)) * t +
                   0.5f * (y1 - ym1)) * t + y0;
        line.smoothedDelay += ((float)line.targetDelay - line.smoothedDelay) * 0.0025f;
        out[k] = v * lineLevel_[k];
    }

    // Saturated sum, band-limited to 120..3800 Hz, fed back.
    if (std::fabs(feedbackAmount_) <= 0.001f) {
        feedbackLow_ = feedbackHigh_ = 0.0f;
    } else {
        float s = std::tanh((out[2] + out[1] + out[0]) * 0.3f * feedbackAmount_);
        feedbackLow_ = flushByMagnitude(feedbackLow_ + (0.93f * s - feedbackLow_) * lowCoef_);
        feedbackHigh_ = flushByMagnitude(feedbackHigh_ + (feedbackLow_ - feedbackHigh_) * highCoef_);
    }

    float osc = oscillatorTick();
    float in = (osc + noise) * e1 + (feedbackLow_ - feedbackHigh_) * e2;

    for (Line& line : lines_) {
        line.buffer[line.writeIndex] = in;
        line.writeIndex = (line.writeIndex + 1) & kLineMask;
    }

    float mid = (out[2] + out[1]) * (1.0f - stereoSpread_);
    *left = stereoSpread_ * out[1] + mid + in + out[0];
    *right = stereoSpread_ * out[2] + mid + in + out[0];
}
