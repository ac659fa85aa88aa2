// Two-stage state-variable filter. Mode 0 low-pass, 1 high-pass, 2 band-pass of
// the low-passed signal (the noise colouring), 3 its complement.
#pragma once

#include "source/engine/Flush.h"

class ModuleSVF {
public:
    void setSampleRate(float fs) { sampleRate = fs; }
    // 2 pi fc / fs, limited to the filter's stable range (below).
    void setFrequencyCoefficient(float f)
    {
        wantedCoef = f;
        freqCoef = stableCoefficient(f, damping);
    }
    void setDamping(float q)
    {
        damping = q;
        freqCoef = stableCoefficient(wantedCoef, q);
    }
    // Each stage's recursion is stable while f^2 + 2 q f < 4, that is for f
    // below sqrt(q^2 + 4) - q (1.236 at q = 1). Well before that bound the
    // response grows a peak at half the rate (gain 2 at f = 1); the
    // coefficient is kept at 73 % of the bound (0.9 at q = 1), where the band
    // is still clean. At 44.1 kHz the noise band stops rising above note 120.
    static float stableCoefficient(float f, float q);
    void setMode(int m) { mode = m; }
    void reset();
    float tick(float u)
    {
        const float f = freqCoef;
        const float q = damping;
        float band = flushByExponent((u - (band1 * q + low1)) * f + band1);
        float low = flushByExponent(band * f + low1);
        low1 = low;
        band1 = band;
        float y;
        if (mode >= 2) {
            float b2 = flushByExponent((low - (band2 * q + low2)) * f + band2);
            float l2 = flushByExponent(b2 * f + low2);
            band2 = b2;
            low2 = l2;
            y = (mode == 2) ? b2 : u - b2;
        } else {
            y = (mode == 0) ? low : u - low;
        }
        output = y;
        return y;
    }

    float band1 = 0.0f, low1 = 0.0f, band2 = 0.0f, low2 = 0.0f;
    float freqCoef = 0.0f;
    float wantedCoef = 0.0f;
    float damping = 1.0f;
    int mode = 0;
    float output = 0.0f;
    float sampleRate = 44100.0f;
};
