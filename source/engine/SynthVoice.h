// One voice slot's sound: the phase-modulation operator pair, three delay lines
// (131072 frames of memory) read with Hermite interpolation at times that
// wander under sample-and-hold modulation, and a saturating band-limited
// feedback path from the lines' sum back into their common input.
#pragma once

#include "source/engine/ModuleFMop.h"
#include "source/engine/ModuleLFO.h"
#include "source/engine/RuntimeRand.h"

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
    // A new sound in a slot that has fallen silent: what its lines still hold
    // from earlier notes is never read again (it reads as silence).
    void startFresh() { history_ = 0; }
    // Back to a playable state after a non-finite or runaway value got in:
    // oscillator, feedback, modulation and delay memory cleared.
    void recover();
    // True while the lines still hold sound that their read positions reach:
    // the slot keeps rendering (with silent input) after its envelopes end,
    // so that echoes play out instead of stopping with a click.
    bool ringing() const { return silentRun_ < reach_; }

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
    void setRangeMs(int k, float ms) { rangeMs_[k] = ms; }
    void setModulationRate(int k, float hz) { lfo_[k].setRate(hz); }
    void setStereoSpread(float s) { stereoSpread_ = s; }
    void setFeedbackAmount(float a) { feedbackAmount_ = a; }
    // Base time glide: base <- 0.9 base + add (Memory: add = 25 x lag once per
    // block; note mode: add = 0.1 x period once per frame).
    void glideBaseDelay(int k, float add) { baseDelayMs_[k] = 0.9f * baseDelayMs_[k] + add; }
    // All three lines at once: Memory mode (add = 25 x lag per line, per block).
    void glideBaseDelays(float add1, float add2, float add3)
    {
        baseDelayMs_ = 0.9f * baseDelayMs_ + Lanes{add1, add2, add3, 0.0f};
    }
    // Note mode, per frame (0.9 of the old time and 0.1 of the new at 44.1 kHz,
    // the same glide time at other rates): towards one period of the note lowered by each
    // line's semitones (`periodMs` indexed by note; a lowered note below 0
    // stays at note 0, the longest period).
    void glideToNote(const float* periodMs, int note, const int* semitones)
    {
        int i1 = note - semitones[0], i2 = note - semitones[1], i3 = note - semitones[2];
        if (i1 < 0) i1 = 0;
        if (i2 < 0) i2 = 0;
        if (i3 < 0) i3 = 0;
        baseDelayMs_ = noteGlideKeep_ * baseDelayMs_ + noteGlideTake_ * Lanes{periodMs[i1], periodMs[i2], periodMs[i3], 0.0f};
    }

    // One frame; the modulation sources draw new values from `rand`.
    void renderFrame(float* left, float* right, float e1, float e2, float noise, RuntimeRand& rand);

    float noteFrequency() const { return noteFrequency_; }
    float ratio() const { return modulator_.ratio; }
    float harmonics() const { return harmonics_; }
    float baseDelayMs(int k) const { return baseDelayMs_[k]; }
    float delayFrames(int k) const { return smoothedDelay_[k]; }

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
    float feedbackLow_ = 0.0f;
    float feedbackHigh_ = 0.0f;
    float stereoSpread_ = 0.0f;
    float lowCoef_, highCoef_;  // 2 pi x 3800 / fs, 2 pi x 120 / fs

    ModuleFMop carrier_;
    ModuleFMop modulator_;

    // The three lines' modulation and delay state side by side (lane 3 unused),
    // so that the wander, the delay glide and the interpolation of all three
    // lines run as one vector operation.
    typedef float Lanes __attribute__((vector_size(16)));
    typedef int IntLanes __attribute__((vector_size(16)));
    Lanes lineLevel_ = {0.0f, 0.0f, 0.0f, 0.0f};
    Lanes rectified_ = {0.0f, 0.0f, 0.0f, 0.0f};       // |modulation source|
    Lanes smoothedMod_ = {0.0f, 0.0f, 0.0f, 0.0f};     // after a 2 Hz one-pole
    Lanes modSmoothing_ = {0.5f, 0.5f, 0.5f, 0.0f};    // 2 x 2 pi / fs
    Lanes baseDelayMs_ = {1.0f, 1.0f, 1.0f, 0.0f};
    Lanes rangeMs_ = {1.0f, 1.0f, 1.0f, 0.0f};
    Lanes targetDelay_ = {1.0f, 1.0f, 1.0f, 0.0f};     // frames, 0.01..131071
    Lanes smoothedDelay_ = {0.0f, 0.0f, 0.0f, 0.0f};   // frames actually read
    float delayGlide_ = 0.0025f;   // share of the way to the target delay per frame
    float noteGlideKeep_ = 0.9f;   // note mode's base-time glide per frame
    float noteGlideTake_ = 0.1f;
    ModuleLFO lfo_[kLines];                            // sample-and-hold sources

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
    float buffer_[kLineLength];
};
