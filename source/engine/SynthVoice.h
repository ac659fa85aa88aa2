// One voice slot's sound: the phase-modulation operator pair, three delay lines
// (131072 frames each) read with Hermite interpolation at times that wander
// under sample-and-hold modulation, and a saturating band-limited feedback path
// from the lines' sum back into their common input.
#pragma once

#include "source/engine/ModuleFMop.h"
#include "source/engine/ModuleLFO.h"

class SynthVoice {
public:
    static constexpr int kLines = 3;
    static constexpr int kLineLength = 131072;
    static constexpr int kLineMask = kLineLength - 1;

    SynthVoice();

    // Rate change and reset: operator and modulation rates, oscillator state,
    // feedback state, levels and spread to 0, delay memory cleared.
    void setSampleRate(float fs);
    void clearLines();

    // Note frequency of both operators, with the phase-modulation smoothing.
    void setNoteFrequency(float f);
    void setRatio(float r) { modulator_.ratio = r; }
    void setHarmonics(float h) { harmonics_ = h; }
    void setTune(float t)
    {
        carrier_.tune = t;
        modulator_.tune = t;
    }
    void setLineLevel(int k, float level) { lineLevel_[k] = level; }
    void setRangeMs(int k, float ms) { mods_[k].rangeMs = ms; }
    void setModulationRate(int k, float hz) { mods_[k].lfo.setRate(hz); }
    void setStereoSpread(float s) { stereoSpread_ = s; }
    void setFeedbackAmount(float a) { feedbackAmount_ = a; }
    // Base time glide: base <- 0.9 base + add (Memory: add = 25 x lag once per
    // block; note mode: add = 0.1 x period once per frame).
    void glideBaseDelay(int k, float add) { mods_[k].baseDelayMs = 0.9f * mods_[k].baseDelayMs + add; }

    void renderFrame(float* left, float* right, float e1, float e2, float noise);

    float noteFrequency() const { return noteFrequency_; }
    float ratio() const { return modulator_.ratio; }
    float harmonics() const { return harmonics_; }
    float baseDelayMs(int k) const { return mods_[k].baseDelayMs; }
    float delayFrames(int k) const { return lines_[k].smoothedDelay; }

private:
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
    float lineLevel_[kLines] = {};
    float feedbackLow_ = 0.0f;
    float feedbackHigh_ = 0.0f;
    float stereoSpread_ = 0.0f;
    float lowCoef_, highCoef_;  // 2 pi x 3800 / fs, 2 pi x 120 / fs

    ModuleFMop carrier_;
    ModuleFMop modulator_;

    struct Modulation {
        float rectified = 0.0f;
        float smoothedMod = 0.0f;
        float modSmoothing = 0.5f;
        float baseDelayMs = 1.0f;
        float rangeMs = 1.0f;
        ModuleLFO lfo;
    };
    Modulation mods_[kLines];

    struct Line {
        double targetDelay = 1.0;
        int writeIndex = 1024;
        float smoothedDelay = 0.0f;
        float buffer[kLineLength];
    };
    Line lines_[kLines];
};
