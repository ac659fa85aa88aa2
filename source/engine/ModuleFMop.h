// Sine operator with phase modulation input; the sine is a polynomial of the
// folded phase.
#pragma once

#include <cmath>

class ModuleFMop {
public:
    void setSampleRate(float fs);
    // Pitch: the phase advances tune x ratio / fs x frequency cycles per
    // tick, computed once whenever one of them changes.
    void setFrequency(float f)
    {
        frequency = f;
        updateStep();
    }
    void setRatio(float r)
    {
        if (r == ratio) return;
        ratio = r;
        updateStep();
    }
    void setTune(float t)
    {
        if (t == tune) return;
        tune = t;
        updateStep();
    }
    float pitchRatio() const { return ratio; }
    float tuning() const { return tune; }

    float tick()
    {
        phase = phase + step;
        phase = phase - (float)(int)(phase + 0.5f);
        float x = pmInput * 0.15915507f + phase;  // radians to cycles
        // Truncation toward zero: a phase below -0.5 is left unfolded (part of the tone).
        x = x - (float)(int)(x + 0.5f);
        float a = std::fabs(x);
        // Two products side by side keep the multiply chain short.
        return ((a + 0.232963f) * (a - 0.5f)) * ((a - 0.732963f) * (x * 68.5949f));
    }

    float phase = 0.0f;    // cycles, -0.5..0.5
    float pmInput = 0.0f;  // radians, for the next tick
    float sampleRate = 44100.0f;

private:
    friend class VoiceLanes;  // renders four slots side by side
    void updateStep() { step = tune * ratio * invSampleRate * frequency; }

    float frequency = 0.0f;
    float invSampleRate = 1.0f / 44100.0f;
    float ratio = 1.0f;
    float tune = 1.0f;
    float step = 0.0f;
};
