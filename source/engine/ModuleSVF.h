// Two-stage state-variable filter. Mode 0 low-pass, 1 high-pass, 2 band-pass of
// the low-passed signal (the noise colouring), 3 its complement.
#pragma once

class ModuleSVF {
public:
    void setSampleRate(float fs) { sampleRate = fs; }
    void setFrequencyCoefficient(float f) { freqCoef = f; }  // 2 pi fc / fs
    void setDamping(float q) { damping = q; }
    void setMode(int m) { mode = m; }
    void reset();
    float tick(float u);

    float band1 = 0.0f, low1 = 0.0f, band2 = 0.0f, low2 = 0.0f;
    float freqCoef = 0.0f;
    float damping = 1.0f;
    int mode = 0;
    float output = 0.0f;
    float sampleRate = 44100.0f;
};
