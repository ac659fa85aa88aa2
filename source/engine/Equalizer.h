// Stereo equalizer on the summed voices: Butterworth low-pass, a notch run twice
// in series mixed with its input by a depth, Butterworth high-pass. Also
// computes a 512-point magnitude curve for the editor's display.
#pragma once

#include "source/engine/ModuleBiquad.h"

class Equalizer {
public:
    static constexpr int kCurvePoints = 512;

    Equalizer();

    // Parameter values (0..1) to frequencies and depth.
    static float highPassHzFor(float v);
    static float lowPassHzFor(float v);
    static float notchHzFor(float v);
    static float notchWidthHzFor(float v);
    static float notchDepthFor(float v);
    // The same, stored for the next design(); call design() after.
    void setHighPassValue(float v);
    void setLowPassValue(float v);
    void setNotchValue(float v);
    void setNotchWidthValue(float v);
    void setNotchDepthValue(float v);

    // Designs all six sections from the five fields (the curve stays).
    void design();
    // Clears the states, stores the rate and designs the sections with the
    // defaults (low-pass 8000 Hz, high-pass 111 Hz, notch 2000 Hz, 280 Hz wide);
    // fields and curve stay.
    void resetDefaults(float fs);
    void computeCurve();
    // Clears the six sections' states (coefficients stay).
    void clearStates();

    void process(float& left, float& right)
    {
        float lL = lowPass_[0].process(left);
        float lR = lowPass_[1].process(right);
        float nL = notch_[0].processSecond(notch_[0].process(lL));
        float nR = notch_[1].processSecond(notch_[1].process(lR));
        const float depth = notchDepth_;
        float mL = (1.0f - depth) * nL + depth * lL;
        float mR = (1.0f - depth) * nR + depth * lR;
        left = highPass_[0].process(mL);
        right = highPass_[1].process(mR);
    }

    float highPassHz() const { return highPassHz_; }
    float lowPassHz() const { return lowPassHz_; }
    float notchHz() const { return notchHz_; }
    float notchWidthHz() const { return notchWidthHz_; }
    float notchDepth() const { return notchDepth_; }
    float sampleRate() const { return sampleRate_; }
    const float* curve() const { return curve_; }
    // The frequency of curve point i (26 Hz .. 20 kHz, evenly in log frequency).
    static float curveFrequency(int i);

    // Left sections, for measurements.
    const ModuleBiquad& lowPassLeft() const { return lowPass_[0]; }
    const ModuleBiquad& notchLeft() const { return notch_[0]; }
    const ModuleBiquad& highPassLeft() const { return highPass_[0]; }

private:
    ModuleBiquad lowPass_[2], highPass_[2], notch_[2];
    float highPassHz_, lowPassHz_, notchHz_, notchWidthHz_, notchDepth_;
    float sampleRate_ = 44100.0f;
    float curve_[kCurvePoints] = {};
};
